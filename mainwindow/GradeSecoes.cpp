#include "mainwindow/GradeSecoes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "mainwindow/RotinasComuns.h"

namespace {

constexpr int COLUNAS = 5;

} // namespace

void TModeloSecoes::Definir(int linhas, const std::vector<TLinhaSecao>& secoes, int espacamento,
                            std::set<int> acima) {
    beginResetModel();
    FLinhas.assign(std::size_t(std::max(linhas, 0)), std::nullopt);
    for (const TLinhaSecao& s : secoes)
        if (s.Secao >= 1 && s.Secao <= linhas) FLinhas[std::size_t(s.Secao - 1)] = s;
    FEspacamento = espacamento;
    FAcima = std::move(acima);
    endResetModel();
}

int TModeloSecoes::rowCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : int(FLinhas.size());
}

int TModeloSecoes::columnCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : COLUNAS;
}

QVariant TModeloSecoes::headerData(int secao, Qt::Orientation o, int papel) const {
    // Em duas linhas, para caber nas larguras das colunas.
    static const char* const TITULOS[COLUNAS] = {"Seção\n(m)", "Lâmina\n(cm)", "Vazão\n(L/s)",
                                                 "Tensão máxima\n(Pa)", "Perda de solo\n(g/cm²)"};
    if (papel != Qt::DisplayRole) return {};
    if (o == Qt::Horizontal && secao >= 0 && secao < COLUNAS)
        return QString::fromUtf8(TITULOS[secao]);
    // O cabeçalho das linhas só serve para selecioná-las: o número já está na coluna "Seção".
    if (o == Qt::Vertical) return QString();
    return {};
}

QVariant TModeloSecoes::data(const QModelIndex& i, int papel) const {
    if (!i.isValid()) return {};
    const int n = i.row() + 1;
    switch (papel) {
    case Qt::BackgroundRole:
        if (FAcima.count(n)) return COR_ACIMA_DA_TOLERAVEL;
        return n % 2 == 0 ? COR_LINHA_PAR : COR_LINHA_IMPAR;
    case Qt::ForegroundRole:
        return n > FEspacamento ? COR_ALEM_DO_ESPACAMENTO : QColor(Qt::black);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::ToolTipRole:
        if (FAcima.count(n))
            return QStringLiteral("Dentro do espaçamento, a perda de solo desta seção excede a "
                                  "perda tolerável.");
        if (n > FEspacamento) return QStringLiteral("Além do espaçamento máximo.");
        return {};
    case Qt::DisplayRole: {
        const auto& l = FLinhas[std::size_t(i.row())];
        if (!l) return {};
        if (i.column() == 0) return QString::number(l->Secao);
        const double v[4] = {l->Lamina, l->Vazao, l->Tensao, l->Perda};
        return FormatarQ("0.0##", v[i.column() - 1]);
    }
    default:
        return {};
    }
}

TGradeSecoes::TGradeSecoes(QWidget* pai) : QTableView(pai) {
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCornerButtonEnabled(true);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsMovable(false);

    aCopiar = new QAction(QStringLiteral("&Copiar"), this);
    aCopiar->setObjectName(QStringLiteral("aCopiarSecoes"));
    aCopiar->setShortcut(QKeySequence::Copy);
    aCopiar->setShortcutContext(Qt::WidgetShortcut);
    connect(aCopiar, &QAction::triggered, this, [this] { Copiar(); });
    aSelecionarTudo = new QAction(QStringLiteral("Selecionar &tudo"), this);
    aSelecionarTudo->setObjectName(QStringLiteral("aSelecionarSecoes"));
    aSelecionarTudo->setShortcut(QKeySequence::SelectAll);
    aSelecionarTudo->setShortcutContext(Qt::WidgetShortcut);
    connect(aSelecionarTudo, &QAction::triggered, this, &QTableView::selectAll);
    addAction(aCopiar);
    addAction(aSelecionarTudo);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QString TGradeSecoes::TextoSelecionado() const {
    const QModelIndexList sel =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList{};
    if (sel.isEmpty()) return {};
    std::set<int> linhas, colunas;
    for (const QModelIndex& i : sel) {
        linhas.insert(i.row());
        colunas.insert(i.column());
    }
    QAbstractItemModel* m = model();
    QStringList titulos;
    for (int c : colunas)
        titulos << m->headerData(c, Qt::Horizontal)
                       .toString()
                       .replace(QLatin1Char('\n'), QLatin1Char(' '));
    QString t = titulos.join(QLatin1Char('\t')) + QLatin1Char('\n');
    const QItemSelectionModel* s = selectionModel();
    // Seleção inteira (o caso comum do Ctrl+A): sem consultar célula por célula.
    const bool tudo = std::size_t(sel.size()) == linhas.size() * colunas.size();
    for (int l : linhas) {
        bool primeira = true;
        for (int c : colunas) {
            if (!primeira) t += QLatin1Char('\t');
            primeira = false;
            const QModelIndex i = m->index(l, c);
            if (tudo || s->isSelected(i)) t += m->data(i).toString();
        }
        t += QLatin1Char('\n');
    }
    return t;
}

void TGradeSecoes::Copiar() const {
    const QString t = TextoSelecionado();
    if (!t.isEmpty()) QApplication::clipboard()->setText(t);
}

void TGradeSecoes::keyPressEvent(QKeyEvent* evento) {
    // A cópia da visão de itens leva só a célula atual.
    if (evento == QKeySequence::Copy) {
        Copiar();
        evento->accept();
        return;
    }
    QTableView::keyPressEvent(evento);
}
