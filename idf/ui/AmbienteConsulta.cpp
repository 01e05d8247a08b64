#include "idf/ui/AmbienteConsulta.h"
#include "comum/EMorvendo.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

namespace {

class TMensagensQt : public IMensagensConsulta {
public:
    void Erro(QWidget* pai, const QString& mensagem) override {
        QMessageBox caixa(QMessageBox::Critical, QStringLiteral("Morvendo"),
                          ComPontoFinal(mensagem), QMessageBox::Ok, pai);
        caixa.exec();
    }
    void Informacao(QWidget* pai, const QString& titulo, const QString& texto) override {
        QMessageBox caixa(QMessageBox::Information, titulo, texto, QMessageBox::Ok, pai);
        caixa.exec();
    }
};

} // namespace

IMensagensConsulta& MensagensPadrao() {
    static TMensagensQt mensagens;
    return mensagens;
}

QString ComPontoFinal(const QString& mensagem) {
    return QString::fromStdString(ComPontoFinal(mensagem.toStdString()));
}

QString TAmbienteConsulta::Arquivo(const QString& nome) const {
    return QDir(PastaComuns).filePath(nome);
}

const TReferencia* TAmbienteConsulta::ProcurarReferencia(const std::string& chave) const {
    for (const auto& r : Referencias)
        if (r.Chave == chave) return &r;
    return nullptr;
}

QString PastaComunsDoPrograma() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../Arquivos Comuns"));
}

TAmbienteConsulta AmbienteConsultaPadrao() {
    TAmbienteConsulta a;
    a.PastaComuns = PastaComunsDoPrograma();
    a.Referencias = ReferenciasIdf();
    a.ChaveFonteGoiasDF = std::string(ChaveFonteGoiasDF());
    return a;
}
