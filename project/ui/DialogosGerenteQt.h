#pragma once
#include <QString>

#include "project/GerenteArquivo.h"

class QWidget;

// Perguntas e diálogos de arquivo do gerente de projetos com as caixas do Qt.
class TDialogosGerenteQt : public IDialogosGerente {
public:
    explicit TDialogosGerenteQt(QWidget* janela) : FJanela(janela) {}

    // Pasta em que os diálogos de arquivo começam.
    void DefinirPastaInicial(const QString& pasta) { FPasta = pasta; }
    const QString& PastaInicial() const { return FPasta; }

    TResposta Perguntar(const std::string& texto, bool comCancelar) override;
    std::optional<std::string> EscolherArquivoAbrir() override;
    std::optional<std::string> EscolherArquivoSalvar(const std::string& titulo,
                                                     const std::string& nomeProposto) override;

protected:
    QWidget* Janela() const { return FJanela; }

private:
    std::optional<std::string> Escolher(bool salvar, const QString& titulo,
                                        const QString& nomeProposto);
    QWidget* FJanela;
    QString FPasta;
};
