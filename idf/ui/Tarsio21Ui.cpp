#include "idf/ui/Tarsio21Ui.h"

#include "idf/ui/FoConsulta.h"

bool ExecutarTarsio(TTarsio21& tarsio, QWidget* pai, const TAmbienteConsulta& ambiente) {
    return tarsio.Executar(ambiente.PastaComuns.toStdString(), [&] {
        return std::unique_ptr<IDialogoConsulta>(std::make_unique<TfrmFoConsulta>(ambiente, pai));
    });
}
