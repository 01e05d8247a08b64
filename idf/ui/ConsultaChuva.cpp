#include "idf/ui/ConsultaChuva.h"

#include "idf/ui/DialogoConsulta.h"

bool ExecutarConsultaChuva(TChuvaDeProjeto& chuva, QWidget* pai,
                           const TAmbienteConsulta& ambiente) {
    return chuva.Executar(ambiente.PastaComuns.toStdString(), [&] {
        return std::unique_ptr<IDialogoConsulta>(std::make_unique<TDialogoConsulta>(ambiente, pai));
    });
}
