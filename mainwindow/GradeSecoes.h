#pragma once
#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>
#include <optional>
#include <set>
#include <vector>

#include "engine/PerdaSolo.h"

// Cores da grade das seções: linhas alternadas, o vermelho das seções além do espaçamento e
// o fundo das seções dentro do espaçamento cuja perda passa da tolerável.
inline const QColor COR_LINHA_PAR(232, 255, 254);
inline const QColor COR_LINHA_IMPAR(200, 232, 210);
inline const QColor COR_ALEM_DO_ESPACAMENTO(Qt::red);
inline const QColor COR_ACIMA_DA_TOLERAVEL(255, 196, 120);

// Linhas da tabela por seção: a linha N é a seção N.
class TModeloSecoes : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // 'acima': seções dentro do espaçamento cuja perda passa da tolerável.
    void Definir(int linhas, const std::vector<TLinhaSecao>& secoes, int espacamento,
                 std::set<int> acima = {});

    int rowCount(const QModelIndex& pai = {}) const override;
    int columnCount(const QModelIndex& pai = {}) const override;
    QVariant headerData(int secao, Qt::Orientation o, int papel) const override;
    QVariant data(const QModelIndex& i, int papel) const override;

private:
    std::vector<std::optional<TLinhaSecao>> FLinhas;
    std::set<int> FAcima;
    int FEspacamento = 0;
};

// Grade que seleciona células, linhas (pelo cabeçalho das linhas) e tudo (Ctrl+A) e copia a
// seleção (Ctrl+C, menu de contexto) como texto separado por tabulações, com a linha de
// títulos, pronto para colar numa planilha.
class TGradeSecoes : public QTableView {
public:
    explicit TGradeSecoes(QWidget* pai = nullptr);
    // Células selecionadas: títulos das colunas tocadas e uma linha por linha tocada, no
    // retângulo que as contém (células fora da seleção ficam vazias).
    QString TextoSelecionado() const;
    void Copiar() const;

    QAction *aCopiar, *aSelecionarTudo;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
};
