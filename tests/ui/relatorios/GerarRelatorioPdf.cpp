// Calcula um projeto e imprime o relatório da estrada num PDF A4, como "&Imprimir" faz.
// Uso: gerar_relatorio_pdf <projeto.mvd> <saida.pdf> [cobertura] [identificação]
// A identificação vem como "estrada|trecho|município|engenheiro|data|observações".
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QPrinter>

#include <iostream>

#include "engine/Persistencia.h"
#include "project/Calculo.h"
#include "reports/ui/RelatorioEstradaUi.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "uso: gerar_relatorio_pdf <projeto.mvd> <saida.pdf> [cobertura] "
                     "[estrada|trecho|município|engenheiro|data|observações]\n";
        return 2;
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    DefinirSeparadorDecimalLocal(',');
    TUnidades unidades;
    TProjeto projeto(unidades);
    ZerarVariaveis(projeto);
    TResultadoCalculo resultado;
    try {
        if (!LerProjeto(projeto, argv[1])) {
            std::cerr << "erro: o projeto não foi lido por inteiro\n";
            return 1;
        }
        resultado = ExecutarCalculo(projeto, projeto.Estrada.Comprimento(), nullptr);
        if (resultado.Situacao != TResultadoCalculo::Concluido) {
            std::cerr << "erro: o cálculo não terminou\n";
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << "erro: " << e.what() << '\n';
        return 1;
    }
    if (argc > 3 && *argv[3]) projeto.StrCoberVeg = argv[3];
    if (argc > 4) {
        const QStringList partes = QString::fromLocal8Bit(argv[4]).split('|');
        std::string* campos[] = {
            &projeto.Identificacao.Estrada,   &projeto.Identificacao.Trecho,
            &projeto.Identificacao.Municipio, &projeto.Identificacao.Engenheiro,
            &projeto.Identificacao.Data,      &projeto.Identificacao.Observacoes};
        for (int i = 0; i < partes.size() && i < 6; ++i)
            *campos[i] = QString(partes[i]).replace("\\n", "\n").toStdString();
    }
    std::string documento;
    if (!GerarRelatorio(projeto, resultado, OpcoesRelatorioDoPrograma(), documento)) {
        std::cerr << "erro: o relatório não foi montado\n";
        return 1;
    }
    TJanelaRelatorioEstrada janela(documento);
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setPageSize(QPageSize(QPageSize::A4));
    impressora.setOutputFileName(QString::fromLocal8Bit(argv[2]));
    janela.Imprimir(impressora);
    return 0;
}
