#include "project/ui/DialogosGerenteQt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

const char* const FILTRO = "Morvendo (*.mvd)";

} // namespace

TResposta TDialogosGerenteQt::Perguntar(const std::string& texto, bool comCancelar) {
    QMessageBox caixa(QMessageBox::Question, QStringLiteral("Confirmação"),
                      QString::fromStdString(texto), QMessageBox::NoButton, FJanela);
    QPushButton* sim = caixa.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    QPushButton* nao = caixa.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    QPushButton* cancelar = nullptr;
    if (comCancelar) {
        cancelar = caixa.addButton(QStringLiteral("&Cancelar"), QMessageBox::RejectRole);
        caixa.setEscapeButton(cancelar);
    } else {
        caixa.setEscapeButton(nao);
    }
    caixa.setDefaultButton(sim);
    caixa.exec();
    if (caixa.clickedButton() == sim) return TResposta::Sim;
    if (caixa.clickedButton() == nao || !comCancelar) return TResposta::Nao;
    return TResposta::Cancelar;
}

std::optional<std::string> TDialogosGerenteQt::Escolher(bool salvar, const QString& titulo,
                                                        const QString& nomeProposto) {
    QFileDialog d(FJanela, titulo, FPasta, QString::fromLatin1(FILTRO));
    d.setAcceptMode(salvar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(salvar ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d.setDefaultSuffix(QStringLiteral("mvd"));
    // A substituição é confirmada pelo gerente, com a sua própria pergunta.
    d.setOption(QFileDialog::DontConfirmOverwrite, true);
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    d.setLabelText(QFileDialog::LookIn, QStringLiteral("Examinar:"));
    d.setLabelText(QFileDialog::FileName, QStringLiteral("Nome do arquivo:"));
    d.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    d.setLabelText(QFileDialog::Accept,
                   salvar ? QStringLiteral("&Salvar") : QStringLiteral("&Abrir"));
    d.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    if (!nomeProposto.isEmpty()) d.selectFile(nomeProposto);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    const QString escolhido = d.selectedFiles().first();
    FPasta = QFileInfo(escolhido).absolutePath();
    return escolhido.toStdString();
}

std::optional<std::string> TDialogosGerenteQt::EscolherArquivoAbrir() {
    return Escolher(false, QStringLiteral("Abrir"), QString());
}

std::optional<std::string> TDialogosGerenteQt::EscolherArquivoSalvar(const std::string& titulo,
                                                                     const std::string& nome) {
    return Escolher(true, QString::fromStdString(titulo), QString::fromStdString(nome));
}
