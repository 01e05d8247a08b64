#include "idf/ui/AmbienteConsulta.h"
#include "comum/EMorvendo.h"
#include "comum/ui/RotinasUi.h"
#include "idf/EstacoesUsuario.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace {

class TMensagensQt : public IMensagensConsulta {
public:
    void Erro(QWidget* pai, const QString& mensagem) override { MostrarCaixaErro(pai, mensagem); }
    void Informacao(QWidget* pai, const QString& titulo, const QString& texto) override {
        QMessageBox caixa(QMessageBox::Information, titulo, texto, QMessageBox::Ok, pai);
        caixa.exec();
    }
    bool Confirmar(QWidget* pai, const QString& titulo, const QString& texto) override {
        QMessageBox caixa(QMessageBox::Question, titulo, texto, QMessageBox::Yes | QMessageBox::No,
                          pai);
        caixa.button(QMessageBox::Yes)->setText(QStringLiteral("&Sim"));
        caixa.button(QMessageBox::No)->setText(QStringLiteral("&Não"));
        caixa.setDefaultButton(QMessageBox::No);
        return caixa.exec() == QMessageBox::Yes;
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

QString PastaDadosUsuarioDoPrograma() {
    const QString forcada = qEnvironmentVariable("MORVENDO_DADOS_USUARIO");
    if (!forcada.isEmpty()) return forcada;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

TAmbienteConsulta AmbienteConsultaPadrao() {
    TAmbienteConsulta a;
    a.PastaComuns = PastaComunsDoPrograma();
    a.PastaUsuario = PastaDadosUsuario().empty() ? PastaDadosUsuarioDoPrograma()
                                                 : QString::fromStdString(PastaDadosUsuario());
    a.Referencias = ReferenciasIdf();
    a.ChaveFonteGoiasDF = std::string(ChaveFonteGoiasDF());
    return a;
}
