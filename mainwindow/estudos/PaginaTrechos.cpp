#include "mainwindow/estudos/PaginaTrechos.h"

#include <QBuffer>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <cmath>
#include <memory>
#include <sstream>
#include <utility>

#include "ajuda/Ajuda.h"
#include "comum/ArquivoIni.h"
#include "comum/ContextosAjuda.h"
#include "comum/EMorvendo.h"
#include "comum/MensagemErro.h"
#include "comum/Numeros.h"
#include "comum/ui/RotinasUi.h"
#include "geo/ExportarMapa.h"
#include "mainwindow/Controles.h"
#include "mainwindow/RotinasComuns.h"
#include "mainwindow/estudos/DialogoEstradaMapa.h"
#include "mainwindow/estudos/Lote.h"
#include "mainwindow/estudos/PlantaEstrada.h"
#include "mainwindow/estudos/Tabelas.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "project/CamposProjeto.h"
#include "project/Projeto.h"

namespace {

QString Real(double v, char sep) {
    return QString::fromStdString(FloatToStr(v, sep));
}

QString Mascara(const char* mascara, double v, char sep) {
    return QString::fromStdString(FormatFloat(mascara, v, sep));
}

// Sem o ruído das contas do perfil (0,0210000000000036): seis casas bastam em m/m.
QString Declividade(double mm, const TUnidades& u, char sep) {
    return Mascara("0.######", mm * u.FatorDeclividade, sep);
}

QString UnidadeDecl(const TUnidades& u) {
    return QString::fromStdString(u.UnidadeDeclividade);
}

// Estaca de uma posição; nada para uma posição negativa de um arquivo antigo.
QString EstacaDe(double m, char sep) {
    return m >= 0 ? QString::fromStdString(Estaca(m, sep)) : QString();
}

// Um trecho como as mensagens o nomeiam: "B" (de 100 a 150 m).
std::string Descrever(const TTrecho& t, char sep) {
    return "\"" + t.Nome + "\" (de " + FloatToStr(t.Inicio, sep) + " a " +
           FloatToStr(t.Inicio + t.Comprimento, sep) + " m)";
}

// A queda real de um trecho unido do perfil é a da média; a declividade guardada é a da rampa
// mais íngreme, que só vale para o cálculo.
double QuedaPorMetro(const TTrecho& t) {
    return t.DeclividadeMedia.value_or(t.Declividade);
}

// Cotas nos limites dos trechos (n + 1), a partir da cota do início do primeiro.
std::vector<double> CotasDosLimites(const std::vector<TTrecho>& trechos, double cotaInicial) {
    std::vector<double> c{cotaInicial};
    c.reserve(trechos.size() + 1);
    for (const TTrecho& t : trechos)
        c.push_back(c.back() - QuedaPorMetro(t) * t.Comprimento);
    return c;
}

// As três escolhas de canal de um lado, na ordem da lista.
const std::pair<TCanalLado, const char*> OPCOES_LADO[] = {
    {TCanalLado::Corte, "Em corte (seção 1)"},
    {TCanalLado::SemCorte, "Sem corte (seção 3)"},
    {TCanalLado::Nenhum, "Sem canal"}};

QString TextoLado(TCanalLado lado) {
    for (const auto& [l, texto] : OPCOES_LADO)
        if (l == lado) return QString::fromUtf8(texto);
    return {};
}

QFont FontePixels(QFont base, double pixels) {
    base.setPixelSize(std::max(1, int(std::lround(pixels))));
    return base;
}

constexpr int COL_COTA_INICIAL = 6, COL_COTA_FINAL = 7, COL_ESQUERDO = 8, COL_DIREITO = 9;

} // namespace

// Os trechos do próprio projeto, editados no lugar: cada mudança marca o projeto alterado.
class TModeloTrechos : public TModeloTexto {
public:
    TModeloTrechos(TProjeto& p, const TUnidades& u, QObject* pai)
        : TModeloTexto(pai), FP(p), FU(u) {}

    std::function<void(const std::string&)> Erro;
    std::function<void()> Mudou;

    std::vector<TTrecho>& Trechos() { return FP.Trechos; }
    double CotaInicial() const { return FP.CotaInicial.value_or(0); }
    void Inserir(TTrecho t) {
        const int n = rowCount();
        beginInsertRows({}, n, n);
        FP.Trechos.push_back(std::move(t));
        FCotas.clear();
        endInsertRows();
    }
    void RemoverLinha(int l) {
        beginRemoveRows({}, l, l);
        // A estrada fica sem buraco: os trechos seguintes recuam o comprimento do que saiu.
        const int removido = FP.Trechos[std::size_t(l)].Comprimento;
        FP.Trechos.erase(FP.Trechos.begin() + l);
        for (std::size_t i = std::size_t(l); i < FP.Trechos.size(); ++i)
            FP.Trechos[i].Inicio -= removido;
        FCotas.clear();
        endRemoveRows();
    }
    void Recarregar() {
        beginResetModel();
        FCotas.clear();
        endResetModel();
    }

    int rowCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : int(FP.Trechos.size());
    }
    int columnCount(const QModelIndex& pai = {}) const override { return pai.isValid() ? 0 : 10; }
    QString Titulo(int c) const override {
        switch (c) {
        case 0:
            return QStringLiteral("Nome");
        case 1:
            return QStringLiteral("Início (m)");
        case 2:
            return QStringLiteral("Comprimento (m)");
        case 3:
            return QStringLiteral("Declividade (%1)").arg(UnidadeDecl(FU));
        case 4:
            return QStringLiteral("Estaca inicial");
        case 5:
            return QStringLiteral("Declividade média (%1)").arg(UnidadeDecl(FU));
        case COL_COTA_INICIAL:
            return QStringLiteral("Cota inicial (m)");
        case COL_COTA_FINAL:
            return QStringLiteral("Cota final (m)");
        case COL_ESQUERDO:
            return QStringLiteral("Canal esquerdo");
        default:
            return QStringLiteral("Canal direito");
        }
    }
    // completo: todos os algarismos, para a edição (a tela arredonda a declividade).
    QString Texto(int l, int c, char sep, bool completo) const override {
        const TTrecho& t = FP.Trechos[std::size_t(l)];
        if (completo && (c == 3 || c == 5) && (c == 3 || t.DeclividadeMedia))
            return Real((c == 3 ? t.Declividade : *t.DeclividadeMedia) * FU.FatorDeclividade, sep);
        switch (c) {
        case 0:
            return QString::fromStdString(t.Nome);
        case 1:
            return Real(t.Inicio, sep);
        case 2:
            return QString::number(t.Comprimento);
        case 3:
            return Declividade(t.Declividade, FU, sep);
        case 4:
            return EstacaDe(t.Inicio, sep);
        case 5:
            return t.DeclividadeMedia ? Declividade(*t.DeclividadeMedia, FU, sep) : QString();
        case COL_COTA_INICIAL:
        case COL_COTA_FINAL:
            return Mascara("0.00", Cotas()[std::size_t(l + (c == COL_COTA_FINAL))], sep);
        default:
            return TextoLado(CanalDoLado(Lado(t, c), FP.Estrada.IndSecao));
        }
    }
    QVariant data(const QModelIndex& i, int papel) const override {
        if (papel == Qt::EditRole) return Texto(i.row(), i.column(), SeparadorDecimal(), true);
        // O lado sem escolha segue a seção transversal do projeto: fica em cinza.
        if (papel == Qt::ForegroundRole)
            return i.column() >= COL_ESQUERDO && !Lado(FP.Trechos[std::size_t(i.row())], i.column())
                       ? QVariant(QColor(110, 110, 110))
                       : QVariant();
        if (papel == Qt::TextAlignmentRole && i.column() >= COL_ESQUERDO)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (papel == Qt::ToolTipRole && i.column() >= COL_ESQUERDO)
            return QStringLiteral("Olhando no sentido do estaqueamento. Em cinza: a seção "
                                  "transversal da página de dados.");
        if (papel == Qt::ToolTipRole && i.column() == COL_COTA_FINAL)
            return QStringLiteral("Digitar a cota final dá a declividade do trecho; os trechos "
                                  "seguintes mantêm as suas.");
        return TModeloTexto::data(i, papel);
    }
    // A estaca e a média saem dos outros valores: só se leem; a cota inicial é a final do
    // trecho anterior, e só a do primeiro se digita.
    Qt::ItemFlags flags(const QModelIndex& i) const override {
        const bool editavel = i.column() < 4 || i.column() >= COL_COTA_FINAL ||
                              (i.column() == COL_COTA_INICIAL && i.row() == 0);
        return TModeloTexto::flags(i) | (editavel ? Qt::ItemIsEditable : Qt::NoItemFlags);
    }

    bool setData(const QModelIndex& i, const QVariant& valor, int papel) override {
        if (papel != Qt::EditRole || !i.isValid() || !(flags(i) & Qt::ItemIsEditable)) return false;
        const QString texto = valor.toString().trimmed();
        const int c = i.column();
        // O texto que já estava (Enter sem mudar nada) não mexe no trecho.
        if (texto == Texto(i.row(), c, SeparadorDecimal(), true)) return true;
        FFalhou = false;
        bool mudou = false;
        if (c == 0) {
            TTrecho& t = FP.Trechos[std::size_t(i.row())];
            mudou = texto.toStdString() != t.Nome;
            t.Nome = texto.toStdString();
        } else if (c >= COL_ESQUERDO) {
            mudou = DefinirLado(i.row(), c, texto);
        } else if (c >= COL_COTA_INICIAL) {
            mudou = DefinirCota(i.row(), c, texto);
        } else {
            mudou = DefinirNumero(i.row(), c, texto);
        }
        // Um valor recusado devolve falso; o mesmo valor com outra grafia, verdadeiro.
        if (FFalhou || !mudou) return !FFalhou;
        FCotas.clear();
        emit dataChanged(index(i.row(), 0), index(rowCount() - 1, columnCount() - 1));
        if (Mudou) Mudou();
        return true;
    }

private:
    static const std::optional<TCanalLado>& Lado(const TTrecho& t, int coluna) {
        return coluna == COL_ESQUERDO ? t.Esquerdo : t.Direito;
    }
    const std::vector<double>& Cotas() const {
        if (FCotas.size() != FP.Trechos.size() + 1)
            FCotas = CotasDosLimites(FP.Trechos, CotaInicial());
        return FCotas;
    }
    void Falhar(const std::string& m) {
        FFalhou = true;
        if (Erro) Erro(m);
    }

    bool DefinirLado(int l, int c, const QString& texto) {
        TTrecho& t = FP.Trechos[std::size_t(l)];
        for (const auto& [lado, nome] : OPCOES_LADO) {
            if (texto != QString::fromUtf8(nome)) continue;
            // A mesma escolha da seção do projeto não o prende a ela.
            if (CanalDoLado(Lado(t, c), FP.Estrada.IndSecao) == lado) return false;
            (c == COL_ESQUERDO ? t.Esquerdo : t.Direito) = lado;
            return true;
        }
        Falhar("\"" + texto.toStdString() +
               "\" não é um canal: escolha \"Em corte (seção 1)\", "
               "\"Sem corte (seção 3)\" ou \"Sem canal\".");
        return false;
    }

    bool DefinirCota(int l, int c, const QString& texto) {
        const char sep = SeparadorDecimal();
        const std::string nome = c == COL_COTA_INICIAL ? "Cota inicial" : "Cota final";
        const std::string lugar = "\"" + nome + "\" (trecho " + std::to_string(l + 1) + ")";
        if (texto.isEmpty() && c == COL_COTA_INICIAL) {
            // Sem cota digitada, o perfil parte de zero.
            if (!FP.CotaInicial) return false;
            FP.CotaInicial.reset();
            return true;
        }
        const auto v = TentarTextoParaReal(texto.toStdString(), sep);
        if (!v || !std::isfinite(*v) || std::abs(*v) > 1e5) {
            Falhar("\"" + texto.toStdString() + "\" não serve como " + lugar +
                   ": a cota deve ser um número de metros.");
            return false;
        }
        if (c == COL_COTA_INICIAL) {
            if (FP.CotaInicial == *v) return false;
            FP.CotaInicial = *v;
            return true;
        }
        TTrecho& t = FP.Trechos[std::size_t(l)];
        const double inicio = Cotas()[std::size_t(l)];
        const double d = (inicio - *v) / t.Comprimento;
        const double fd = FU.FatorDeclividade;
        const std::string ud = FU.UnidadeDeclividade;
        if (d == 0) {
            Falhar("A " + lugar + " de " + FloatToStr(*v, sep) +
                   " m é igual à cota inicial: o trecho ficaria plano, e a água não corre por "
                   "um trecho plano até um desaguadouro.");
            return false;
        }
        const TCampoProjeto campo{
            CAMPO_NENHUM, "Declividade", "", "Trechos", TUnidadeCampo::Declividade, "",
            -1,           true,          1,  false};
        if (!DentroDaFaixa(campo, d * fd, FU)) {
            Falhar("A " + lugar + " de " + FloatToStr(*v, sep) +
                   " m daria ao trecho a "
                   "declividade de " +
                   FloatToStr(d * fd, sep) + " " + ud + ", fora da faixa de " +
                   FloatToStr(-fd, sep) + " a " + FloatToStr(fd, sep) + " " + ud + ".");
            return false;
        }
        t.Declividade = d;
        // A cota digitada faz do trecho uma rampa só: a média de rampas unidas não vale mais.
        t.DeclividadeMedia.reset();
        return true;
    }

    bool DefinirNumero(int linha, int coluna, const QString& texto) {
        TTrecho& t = FP.Trechos[std::size_t(linha)];
        // Mesma faixa e mesma mensagem dos campos da página de dados.
        const std::string grupo = "trecho " + std::to_string(linha + 1);
        const TCampoProjeto campos[3] = {{CAMPO_NENHUM, "Início", grupo.c_str(), "Trechos",
                                          TUnidadeCampo::Fixa, "m", 0, true, INICIO_MAXIMO_TRECHO,
                                          false},
                                         {CAMPO_NENHUM, "Comprimento", grupo.c_str(), "Trechos",
                                          TUnidadeCampo::Fixa, "m", 1, true, 100000, true},
                                         {CAMPO_NENHUM, "Declividade", grupo.c_str(), "Trechos",
                                          TUnidadeCampo::Declividade, "", -1, true, 1, false}};
        const TCampoProjeto& c = campos[coluna - 1];
        const auto v = TentarTextoParaReal(texto.toStdString(), SeparadorDecimal());
        std::optional<TMotivoFalha> motivo;
        if (texto.isEmpty())
            motivo = TMotivoFalha::Vazio;
        else if (!v || !std::isfinite(*v))
            motivo = TMotivoFalha::NaoNumero;
        else if (c.Inteiro && *v != std::floor(*v))
            motivo = TMotivoFalha::NaoInteiro;
        else if (!DentroDaFaixa(c, *v, FU))
            motivo = TMotivoFalha::Faixa;
        else if (coluna == 3 && *v == 0)
            motivo = TMotivoFalha::Faixa;
        if (motivo) {
            std::string m = MensagemCampo(c, FU, *motivo, texto.toStdString());
            // Com sinal: negativa onde a estrada sobe no sentido do estaqueamento.
            const std::string faixa = "deve estar entre";
            if (const auto p = m.find(faixa); coluna == 3 && p != std::string::npos)
                m.replace(p, faixa.size(), "deve ser diferente de zero e estar entre");
            Falhar(m);
            return false;
        }
        const std::size_t l = std::size_t(linha);
        if (coluna == 1 && l > 0) {
            // A estrada não tem buracos nem trechos sobrepostos: o início de um trecho é o
            // fim do anterior.
            const TTrecho& a = FP.Trechos[l - 1];
            if (const char* falta = FaltaDeContinuidade(a, *v)) {
                TTrecho novo = t;
                novo.Inicio = *v;
                const char sep = SeparadorDecimal();
                Falhar("Os trechos " + Descrever(a, sep) + " e " + Descrever(novo, sep) + " " +
                       falta + ": o trecho " + std::to_string(l + 1) +
                       " começa onde o anterior termina, em " +
                       FloatToStr(a.Inicio + a.Comprimento, sep) + " m.");
                return false;
            }
        }
        // O primeiro início move a estrada inteira; um comprimento, os trechos seguintes.
        double deslocamento = 0;
        std::size_t desde = l + 1;
        if (coluna == 1 && l == 0) {
            deslocamento = *v - t.Inicio;
            desde = 0;
        }
        if (coluna == 2) deslocamento = *v - t.Comprimento;
        for (std::size_t k = desde; deslocamento != 0 && k < FP.Trechos.size(); ++k) {
            const double novo = FP.Trechos[k].Inicio + deslocamento;
            if (!(novo >= 0 && novo <= INICIO_MAXIMO_TRECHO)) {
                Falhar("O trecho " + std::to_string(k + 1) + " passaria a começar em " +
                       FloatToStr(novo, SeparadorDecimal()) + " m, fora da faixa de 0 a " +
                       FloatToStr(INICIO_MAXIMO_TRECHO) + " m.");
                return false;
            }
        }
        if (coluna == 1 && l > 0) t.Inicio = *v;
        if (coluna == 2) t.Comprimento = int(*v);
        if (coluna == 3) {
            t.Declividade = *v / FU.FatorDeclividade;
            // A declividade digitada vale para o trecho inteiro, também no perfil desenhado.
            t.DeclividadeMedia.reset();
        }
        for (std::size_t k = desde; deslocamento != 0 && k < FP.Trechos.size(); ++k)
            FP.Trechos[k].Inicio += deslocamento;
        return true;
    }

    TProjeto& FP;
    const TUnidades& FU;
    mutable std::vector<double> FCotas;
    bool FFalhou = false;
};

namespace {

// Lista de três escolhas para o canal de cada lado.
class TDelegadoLado : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* pai, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* lista = new QComboBox(pai);
        for (const auto& [lado, texto] : OPCOES_LADO)
            lista->addItem(QString::fromUtf8(texto));
        // Escolher basta: a lista não espera o Enter.
        connect(lista, &QComboBox::activated, this, [this, lista] {
            auto* eu = const_cast<TDelegadoLado*>(this);
            emit eu->commitData(lista);
            emit eu->closeEditor(lista);
        });
        return lista;
    }
    void setEditorData(QWidget* editor, const QModelIndex& i) const override {
        static_cast<QComboBox*>(editor)->setCurrentText(i.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* m, const QModelIndex& i) const override {
        m->setData(i, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }
};

} // namespace

// A nota de locação: um desaguadouro por linha, na ordem do estaqueamento.
class TModeloNotaLocacao : public TModeloTexto {
public:
    TModeloNotaLocacao(const TUnidades& u, QObject* pai) : TModeloTexto(pai), FU(u) {}

    void Definir(TResultadoLocacao r, bool semicircular) {
        beginResetModel();
        FR = std::move(r);
        FSemicircular = semicircular;
        endResetModel();
    }
    const TResultadoLocacao& Resultado() const { return FR; }
    void Recarregar() {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : int(FR.Desaguadouros.size());
    }
    int columnCount(const QModelIndex& pai = {}) const override { return pai.isValid() ? 0 : 12; }
    QString Titulo(int c) const override {
        static const char* const T[12] = {"Nº",
                                          "Lado",
                                          "Estaca",
                                          "Distância (m)",
                                          "",
                                          "Trecho servido (m)",
                                          "Vazão de pico (L/s)",
                                          "Volume da bacia (m³)",
                                          "Dimensões da bacia (m)",
                                          "Profundidade do canal de condução (cm)",
                                          "Espaçamento limitado por",
                                          "Avisos"};
        if (c == 4) return QStringLiteral("Declividade a montante (%1)").arg(UnidadeDecl(FU));
        return QString::fromUtf8(T[c]);
    }
    QString Texto(int l, int c, char sep, bool completo) const override {
        const TDesaguadouro& d = FR.Desaguadouros[std::size_t(l)];
        auto numero = [&](const char* mascara, double v) {
            return completo ? Real(v, sep) : Mascara(mascara, v, sep);
        };
        switch (c) {
        case 0:
            return QString::number(d.Numero);
        case 1:
            return QString::fromLatin1(SiglaLado(d.Lado));
        case 2:
            return EstacaDe(d.Posicao, sep);
        case 3:
            return numero("0.0#", d.Posicao);
        case 4:
            return Declividade(d.DeclividadeMontante, FU, sep);
        case 5: {
            // Numa baixada, o que vem de cada descida.
            QStringList partes;
            for (const TContribuicao& k : d.Contribuicoes)
                partes << QString::number(k.Comprimento);
            return partes.join(QStringLiteral(" + "));
        }
        case 6:
            return numero("0.0#", d.Chegada.VazaoPico);
        case 7:
            return numero("0.0##", d.Chegada.Volume);
        case 8:
            if (!d.Bacia) return QStringLiteral("---");
            if (FSemicircular) return QStringLiteral("raio ") + numero("0.0#", d.Bacia->Raio);
            return numero("0.0#", d.Bacia->Largura) + QStringLiteral(" × ") +
                   numero("0.0#", d.Bacia->Comprimento);
        case 9:
            return d.Bacia ? numero("0.0", d.Bacia->ProfundidadeCanal) : QStringLiteral("---");
        case 10:
            if (d.NenhumEspacamento) return QStringLiteral("nenhum atende");
            return d.LimitadoPeloComprimento ? QStringLiteral("comprimento")
                                             : QStringLiteral("erosão");
        default:
            return QString::fromStdString(AvisosDoDesaguadouro(d));
        }
    }
    QVariant data(const QModelIndex& i, int papel) const override {
        if (!i.isValid()) return {};
        const TDesaguadouro& d = FR.Desaguadouros[std::size_t(i.row())];
        if (papel == Qt::ForegroundRole && d.NenhumEspacamento) return QColor(170, 0, 0);
        if (papel == Qt::ToolTipRole && i.column() == 11)
            return Texto(i.row(), i.column(), SeparadorDecimal(), false);
        if (papel == Qt::ForegroundRole && i.column() == 1)
            return TDesenhoEstrada::CorDoLado(d.Lado);
        if (papel == Qt::TextAlignmentRole && i.column() >= 10)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (papel == Qt::TextAlignmentRole && i.column() == 1)
            return int(Qt::AlignCenter | Qt::AlignVCenter);
        return TModeloTexto::data(i, papel);
    }

private:
    const TUnidades& FU;
    TResultadoLocacao FR;
    bool FSemicircular = false;
};

namespace {

std::string LerArquivoTexto(const QString& caminho) {
    return LerArquivoComum(QFile::encodeName(caminho).toStdString());
}

} // namespace

// --- Desenho -----------------------------------------------------------------------------

TDesenhoEstrada::TDesenhoEstrada(QWidget* pai) : QWidget(pai) {
    setObjectName(QStringLiteral("DesenhoEstrada"));
    setMinimumHeight(190);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TDesenhoEstrada::Definir(std::vector<TTrecho> trechos, double cotaInicial,
                              std::vector<TDesaguadouro> desaguadouros) {
    FTrechos = std::move(trechos);
    FCotas = CotasDosLimites(FTrechos, cotaInicial);
    FDesaguadouros = std::move(desaguadouros);
    update();
}

void TDesenhoEstrada::DefinirPerfilLido(const std::vector<TPontoPerfil>& lido) {
    FLido.clear();
    // Um ponto a cada tantos metros, e em cada trecho o mais alto e o mais baixo: o ruído que
    // a suavização tira continua visível sem desenhar 50 000 pontos.
    constexpr std::size_t PONTOS_MAXIMOS = 4000;
    const std::size_t passo = std::max<std::size_t>(1, lido.size() / (PONTOS_MAXIMOS / 2));
    for (std::size_t i = 0; i < lido.size(); i += passo) {
        const std::size_t fim = std::min(lido.size(), i + passo);
        auto [menor, maior] = std::minmax_element(
            lido.begin() + long(i), lido.begin() + long(fim),
            [](const TPontoPerfil& a, const TPontoPerfil& b) { return a.Cota < b.Cota; });
        if (menor->Posicao > maior->Posicao) std::swap(menor, maior);
        FLido.emplace_back(menor->Posicao, menor->Cota);
        if (maior != menor) FLido.emplace_back(maior->Posicao, maior->Cota);
    }
    update();
}

std::vector<double> TDesenhoEstrada::CotasDaEscala() const {
    std::vector<double> cotas = FCotas;
    for (const QPointF& p : FLido)
        cotas.push_back(p.y());
    return cotas;
}

QColor TDesenhoEstrada::CorDoLado(TLado lado) {
    return lado == TLado::Esquerdo ? QColor(20, 90, 200) : QColor(225, 110, 0);
}

namespace {

struct TEscalaEstacas {
    double Inicio = 0, Fim = 1; // m
    long long Passo = 1;        // estacas entre marcas com rótulo
    long long Miudo = 0;        // estacas entre marcas sem rótulo; 0: nenhuma
    std::vector<long long> Marcas;
};

// Marcas em estacas inteiras, tantas quantas cabem com folga entre os rótulos.
TEscalaEstacas EscalaEstacas(const std::vector<TTrecho>& trechos, double largura,
                             double larguraRotulo) {
    TEscalaEstacas e;
    if (!trechos.empty()) {
        e.Inicio = trechos.front().Inicio;
        e.Fim = trechos.back().Inicio + trechos.back().Comprimento;
        if (e.Fim <= e.Inicio) e.Fim = e.Inicio + 1;
    }
    const double estacas = (e.Fim - e.Inicio) / double(METROS_POR_ESTACA);
    const double cabem = std::clamp(largura / (2.2 * larguraRotulo), 2.0, 12.0);
    for (long long base = 1;; base *= 10) {
        bool achou = false;
        for (const long long f : {1, 2, 5}) {
            e.Passo = base * f;
            if (estacas / double(e.Passo) <= cabem) {
                achou = true;
                break;
            }
        }
        if (achou || base > 1000000) break;
    }
    const double pxPorEstaca = largura / std::max(estacas, 1e-9);
    for (const long long m : {e.Passo / 10, e.Passo / 5, e.Passo / 2})
        if (m >= 1 && e.Passo % m == 0 && m * pxPorEstaca >= 6) {
            e.Miudo = m;
            break;
        }
    const long long primeira =
        (long long)std::ceil(e.Inicio / double(METROS_POR_ESTACA) / double(e.Passo) - 1e-9) *
        e.Passo;
    for (long long k = primeira; double(k * METROS_POR_ESTACA) <= e.Fim + 1e-6; k += e.Passo)
        e.Marcas.push_back(k);
    return e;
}

// Largura de referência dos rótulos das estacas: quatro algarismos.
double LarguraRotuloEstaca(const QFontMetricsF& fm) {
    return fm.horizontalAdvance(QStringLiteral("0000"));
}

// As marcas das cotas e o eixo horizontal do perfil num retângulo: o desenho e o clique.
struct TGeometriaPerfil {
    double CMin = 0, CMax = 1;
    std::vector<double> MarcasCota;
    int Casas = 0;
    double LarguraCotas = 0, Esquerda = 0, Direita = 1;
    TEscalaEstacas Estacas;
    double X(double pos) const {
        return Esquerda +
               (pos - Estacas.Inicio) / (Estacas.Fim - Estacas.Inicio) * (Direita - Esquerda);
    }
    double Posicao(double x) const {
        return Estacas.Inicio +
               (x - Esquerda) / std::max(1.0, Direita - Esquerda) * (Estacas.Fim - Estacas.Inicio);
    }
};

TGeometriaPerfil Geometria(const std::vector<TTrecho>& trechos, const std::vector<double>& cotas,
                           const QRectF& area, const QFontMetricsF& fm) {
    TGeometriaPerfil g;
    // Cotas: marcas redondas que cobrem o perfil.
    g.CMin = *std::min_element(cotas.begin(), cotas.end());
    g.CMax = *std::max_element(cotas.begin(), cotas.end());
    if (g.CMax - g.CMin < 0.01) {
        g.CMin -= 1;
        g.CMax += 1;
    }
    g.MarcasCota = MarcasDoEixo(g.CMin, g.CMax, 5, 0.01);
    g.CMin = std::min(g.CMin, g.MarcasCota.front());
    g.CMax = std::max(g.CMax, g.MarcasCota.back());
    const double passoCota = g.MarcasCota.size() > 1 ? g.MarcasCota[1] - g.MarcasCota[0] : 1;
    g.Casas = passoCota >= 1 - 1e-9 ? 0 : (passoCota >= 0.1 - 1e-9 ? 1 : 2);
    g.LarguraCotas = fm.horizontalAdvance(QStringLiteral("Cota (m)"));
    for (const double m : g.MarcasCota)
        g.LarguraCotas = std::max(g.LarguraCotas, fm.horizontalAdvance(FormatarCasas(m, g.Casas)));
    const double h = fm.height();
    g.Esquerda = area.left() + g.LarguraCotas + 0.8 * h;
    g.Direita = area.right() - 1.2 * h;
    g.Estacas = EscalaEstacas(trechos, g.Direita - g.Esquerda, LarguraRotuloEstaca(fm));
    return g;
}

// Triângulo de um desaguadouro com a ponta em (x, y): para baixo acima do perfil (esquerdo),
// para cima abaixo dele (direito).
QPainterPath Seta(double x, double y, double tamanho, bool paraBaixo) {
    const double s = paraBaixo ? -1 : 1;
    QPainterPath seta;
    seta.moveTo(x, y);
    seta.lineTo(x - tamanho / 2, y + s * tamanho);
    seta.lineTo(x + tamanho / 2, y + s * tamanho);
    seta.closeSubpath();
    return seta;
}

} // namespace

QStringList TDesenhoEstrada::MarcasEixo() const {
    const QFontMetricsF fm(font());
    const TEscalaEstacas e =
        EscalaEstacas(FTrechos, std::max(100, width()) - 4 * fm.height(), LarguraRotuloEstaca(fm));
    QStringList r;
    for (const long long m : e.Marcas)
        r << QString::number(m);
    return r;
}

void TDesenhoEstrada::Marcar(std::optional<double> posicao) {
    FMarca = posicao;
    update();
}

QFont TDesenhoEstrada::FonteTela() const {
    return FontePixels(font(), QFontInfo(font()).pixelSize());
}

double TDesenhoEstrada::XDaPosicao(double posicao) const {
    if (FTrechos.empty()) return 0;
    return Geometria(FTrechos, CotasDaEscala(), rect(), QFontMetricsF(FonteTela())).X(posicao);
}

void TDesenhoEstrada::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || FTrechos.empty()) return;
    const TGeometriaPerfil g =
        Geometria(FTrechos, CotasDaEscala(), rect(), QFontMetricsF(FonteTela()));
    const double posicao = std::clamp(g.Posicao(e->position().x()), g.Estacas.Inicio,
                                      FTrechos.back().Inicio + FTrechos.back().Comprimento);
    Marcar(posicao);
    if (LugarEscolhido) LugarEscolhido(posicao);
}

QString TDesenhoEstrada::TituloEixo() const {
    return QStringLiteral("Estacas de 20 m");
}

QImage TDesenhoEstrada::Imagem(QSize tamanho) const {
    return ImagemDoDesenho(tamanho, FonteTela(),
                           [this](QPainter& p, const QRectF& a) { Desenhar(p, a); });
}

QByteArray TDesenhoEstrada::Svg(QSize tamanho) const {
    return SvgDoDesenho(tamanho, FonteTela(),
                        QStringLiteral("Perfil da estrada com os desaguadouros"),
                        [this](QPainter& p, const QRectF& a) { Desenhar(p, a); });
}

void TDesenhoEstrada::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(FonteTela());
    Desenhar(p, rect());
}

void TDesenhoEstrada::Desenhar(QPainter& p, const QRectF& area) const {
    p.save();
    p.setClipRect(area);
    p.fillRect(area, Qt::white);
    const QFontMetricsF fm(p.font());
    const double h = fm.height(), u = h / 14;
    if (FTrechos.empty()) {
        p.setPen(Qt::darkGray);
        p.drawText(area, Qt::AlignCenter,
                   QStringLiteral("Sem trechos: digite-os, importe um CSV ou use o perfil."));
        p.restore();
        return;
    }
    const char sep = SeparadorDecimal();
    const TGeometriaPerfil g = Geometria(FTrechos, CotasDaEscala(), area, fm);
    const double cMin = g.CMin, cMax = g.CMax;
    const std::vector<double>& marcasCota = g.MarcasCota;
    const int casas = g.Casas;
    const double larguraCotas = g.LarguraCotas, esquerda = g.Esquerda, direita = g.Direita;
    // De cima para baixo: legenda, setas da esquerda, perfil, setas da direita, faixa das
    // declividades, eixo das estacas.
    const double topo = area.top() + 2.4 * h;
    const double yEixo = area.bottom() - 2.4 * h;
    const double yRampas = yEixo - 1.25 * h;
    const double base = yRampas - 1.1 * h;
    const TEscalaEstacas& e = g.Estacas;
    auto x = [&](double pos) { return g.X(pos); };
    auto y = [&](double cota) {
        return base - (cota - cMin) / (cMax - cMin) * std::max(1.0, base - topo);
    };
    // Cota num ponto da estrada, entre os limites dos trechos.
    auto cotaEm = [&](double pos) {
        // O primeiro trecho que termina em pos ou depois (trechos encostados, em ordem).
        const auto achado =
            std::partition_point(FTrechos.begin(), FTrechos.end() - 1,
                                 [&](const TTrecho& t) { return t.Inicio + t.Comprimento < pos; });
        const std::size_t i = std::size_t(achado - FTrechos.begin());
        const TTrecho& t = FTrechos[i];
        const double f = std::clamp((pos - t.Inicio) / std::max(1, t.Comprimento), 0.0, 1.0);
        return FCotas[i] + f * (FCotas[i + 1] - FCotas[i]);
    };

    // Grade das cotas.
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRectF(area.left() + 2, area.top() + 0.2 * h, larguraCotas + h, h),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Cota (m)"));
    for (const double m : marcasCota) {
        const double py = y(m);
        p.setPen(QPen(QColor(225, 225, 225), u));
        p.drawLine(QPointF(esquerda, py), QPointF(direita, py));
        p.setPen(QColor(60, 60, 60));
        p.drawText(QRectF(area.left() + 2, py - h / 2, larguraCotas, h),
                   Qt::AlignRight | Qt::AlignVCenter, FormatarCasas(m, casas));
    }

    // O perfil pelos limites dos trechos.
    QPolygonF linha;
    for (std::size_t i = 0; i < FCotas.size(); ++i) {
        const double pos = i < FTrechos.size()
                               ? FTrechos[i].Inicio
                               : FTrechos.back().Inicio + FTrechos.back().Comprimento;
        linha << QPointF(x(pos), y(FCotas[i]));
    }
    // Os limites, do perfil ao eixo; com muitos trechos curtos, só os que não se encostam (o
    // tracejado suavizado custa caro na tela).
    p.setPen(QPen(QColor(190, 190, 190), u, Qt::DashLine));
    p.setRenderHint(QPainter::Antialiasing, false);
    double ultimoLimite = -1e9;
    for (const QPointF& ponto : linha) {
        if (ponto.x() - ultimoLimite < 0.5 * h) continue;
        ultimoLimite = ponto.x();
        p.drawLine(ponto, QPointF(ponto.x(), yEixo));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    // O perfil lido do mapa, fino e claro, sob o dos trechos.
    if (!FLido.empty()) {
        QPolygonF lido;
        for (const QPointF& ponto : FLido)
            lido << QPointF(x(ponto.x()), y(ponto.y()));
        p.setPen(QPen(QColor(120, 170, 120), u));
        p.drawPolyline(lido);
    }
    p.setPen(QPen(QColor(70, 70, 70), 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(linha);

    // Declividade de cada trecho em %, numa faixa acima do eixo, onde cabe.
    p.setPen(QColor(40, 40, 40));
    for (std::size_t i = 0; i < FTrechos.size(); ++i) {
        const QString d =
            Mascara("0.0#", FTrechos[i].Declividade * 100, sep) + QStringLiteral(" %");
        const double de = linha[int(i)].x(), ate = linha[int(i) + 1].x();
        const double w = fm.horizontalAdvance(d);
        if (w > ate - de - 4) continue;
        p.drawText(QRectF((de + ate - w) / 2 - 1, yRampas, w + 2, h), Qt::AlignCenter, d);
    }

    // Cristas e baixadas: onde a declividade muda de sinal; a legenda diz qual é qual.
    p.setPen(QPen(Qt::black, u));
    for (std::size_t i = 1; i < FTrechos.size(); ++i) {
        const double a = FTrechos[i - 1].Declividade, b = FTrechos[i].Declividade;
        if ((a < 0) == (b < 0) || a == 0 || b == 0) continue;
        p.setBrush(a < 0 ? Qt::white : Qt::black);
        p.drawEllipse(linha[int(i)], 3.5 * u, 3.5 * u);
    }
    p.setBrush(Qt::NoBrush);

    // Desaguadouros: os da esquerda acima do perfil, os da direita abaixo.
    const double tamanho = 9 * u;
    std::size_t esquerdos = 0, direitos = 0;
    for (const TDesaguadouro& d : FDesaguadouros) {
        const bool esquerdo = d.Lado == TLado::Esquerdo;
        (esquerdo ? esquerdos : direitos)++;
        const double px = x(d.Posicao), py = y(cotaEm(d.Posicao));
        const QColor cor = CorDoLado(d.Lado);
        p.setPen(QPen(cor.darker(140), u));
        p.setBrush(cor);
        p.drawPath(Seta(px, esquerdo ? py - 2 * u : py + 2 * u, tamanho, esquerdo));
    }
    p.setBrush(Qt::NoBrush);

    // O lugar marcado (aqui ou na planta): linha vermelha e o texto acima do perfil.
    if (FMarca) {
        const double px = x(*FMarca);
        p.setPen(QPen(QColor(200, 0, 0), 1.5 * u, Qt::DashLine));
        p.drawLine(QPointF(px, topo - 0.2 * h), QPointF(px, yEixo));
        const QString t = TextoDoLugar(*FMarca);
        const double w = fm.horizontalAdvance(t) + 2;
        p.setPen(QColor(170, 0, 0));
        p.drawText(
            QRectF(std::clamp(px - w / 2, area.left(), area.right() - w), topo - 1.3 * h, w, h),
            Qt::AlignCenter, t);
    }

    // Legenda no alto, à direita: os lados com as contagens, a crista e a baixada (e o perfil
    // lido do mapa). Sem espaço ao lado do título das cotas, os textos curtos.
    auto legenda = [&](bool curto, bool desenhar) {
        const double meio = area.top() + 0.7 * h;
        double px = direita;
        auto texto = [&](const QString& t) {
            const double w = fm.horizontalAdvance(t);
            px -= w;
            p.setPen(QColor(40, 40, 40));
            if (desenhar)
                p.drawText(QRectF(px, meio - h / 2, w + 1, h), Qt::AlignLeft | Qt::AlignVCenter, t);
            px -= 0.3 * h;
        };
        if (!FLido.empty()) {
            texto(curto ? QStringLiteral("lido") : QStringLiteral("perfil lido, sem suavização"));
            p.setPen(QPen(QColor(120, 170, 120), 2 * u));
            px -= 1.2 * h;
            if (desenhar) p.drawLine(QPointF(px, meio), QPointF(px + h, meio));
            px -= 1.0 * h;
        }
        for (const bool crista : {false, true}) {
            texto(crista ? QStringLiteral("crista") : QStringLiteral("baixada"));
            p.setPen(QPen(Qt::black, u));
            p.setBrush(crista ? Qt::white : Qt::black);
            px -= 3.5 * u;
            if (desenhar) p.drawEllipse(QPointF(px, meio), 3.5 * u, 3.5 * u);
            px -= 3.5 * u + 1.0 * h;
        }
        for (const TLado lado : {TLado::Direito, TLado::Esquerdo}) {
            const bool esq = lado == TLado::Esquerdo;
            const std::size_t n = esq ? esquerdos : direitos;
            texto(curto ? QStringLiteral("%1: %2").arg(esq ? 'E' : 'D').arg(n)
                  : esq ? QStringLiteral("desaguadouro à esquerda (E): %1").arg(n)
                        : QStringLiteral("à direita (D): %1").arg(n));
            p.setPen(QPen(CorDoLado(lado).darker(140), u));
            p.setBrush(CorDoLado(lado));
            px -= tamanho / 2;
            if (desenhar)
                p.drawPath(esq ? Seta(px, meio + tamanho / 2, tamanho, true)
                               : Seta(px, meio - tamanho / 2, tamanho, false));
            px -= tamanho / 2 + 1.0 * h;
        }
        p.setBrush(Qt::NoBrush);
        return px + 1.0 * h;
    };
    legenda(legenda(false, false) < area.left() + larguraCotas + h, true);

    // Eixo das estacas.
    p.setPen(QPen(Qt::black, u));
    p.drawLine(QPointF(esquerda, yEixo), QPointF(direita, yEixo));
    if (e.Miudo > 0) {
        const long long primeira =
            (long long)std::ceil(e.Inicio / double(METROS_POR_ESTACA) / double(e.Miudo) - 1e-9);
        for (long long k = primeira * e.Miudo; double(k * METROS_POR_ESTACA) <= e.Fim + 1e-6;
             k += e.Miudo) {
            const double px = x(double(k * METROS_POR_ESTACA));
            p.drawLine(QPointF(px, yEixo), QPointF(px, yEixo + 0.2 * h));
        }
    }
    for (const long long k : e.Marcas) {
        const double px = x(double(k * METROS_POR_ESTACA));
        p.drawLine(QPointF(px, yEixo), QPointF(px, yEixo + 0.4 * h));
        const QString r = QString::number(k);
        const double w = fm.horizontalAdvance(r);
        p.drawText(QRectF(std::clamp(px - w / 2, area.left(), area.right() - w - 1),
                          yEixo + 0.4 * h, w + 1, h),
                   Qt::AlignCenter, r);
    }
    p.drawText(QRectF(esquerda, yEixo + 1.3 * h, direita - esquerda, h), Qt::AlignCenter,
               TituloEixo());
    p.restore();
}

namespace {

// Como a estrada fica no projeto: os caminhos absolutos (o arquivo os grava relativos a ele).
TEstradaMapaProjeto RegistroDe(const TPedidoEstrada& p) {
    auto absoluto = [](const std::string& c) {
        return c.empty()
                   ? c
                   : QFile::encodeName(QFileInfo(QFile::decodeName(c.c_str())).absoluteFilePath())
                         .toStdString();
    };
    return {absoluto(p.Linha),          absoluto(p.Terreno), p.OpcoesLinha.Camada,
            p.OpcoesLinha.Feicao,       p.OpcoesLinha.DoFim, p.OpcoesPerfil.Janela,
            p.OpcoesPerfil.TrechoMinimo};
}

TPedidoEstrada PedidoDe(const TEstradaMapaProjeto& r) {
    TPedidoEstrada p;
    p.Linha = r.Linha;
    p.Terreno = r.Terreno;
    p.OpcoesLinha = {r.Camada, r.Feicao, r.DoFim};
    p.OpcoesPerfil = {r.Janela, r.TrechoMinimo};
    return p;
}

QString NomeDaLinha(const TPedidoEstrada& p) {
    return QFileInfo(QFile::decodeName(p.Linha.c_str())).fileName();
}

} // namespace

// --- Página ------------------------------------------------------------------------------

TPaginaTrechos::TPaginaTrechos(TAmbienteEstudos ambiente, QWidget* pai)
    : QWidget(pai), Linhas(LinhasPadrao()), FAmb(std::move(ambiente)),
      FLote(new TExecucaoLote(this)),
      FModelo(new TModeloTrechos(*FAmb.Projeto, *FAmb.Unidades, this)),
      FNota(new TModeloNotaLocacao(*FAmb.Unidades, this)) {
    setObjectName(QStringLiteral("Trechos"));
    FModelo->Erro = [this](const std::string& m) { FAmb.Erro(m); };
    FModelo->Mudou = [this] { Alterados(); };
    Confirmar = [this](const QString& pergunta) {
        return QMessageBox::question(this, QStringLiteral("Morvendo"), pergunta,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    // Ctrl+Z numa célula em edição desfaz a digitação; fora dela, a importação.
    auto* desfazer = new QShortcut(QKeySequence::Undo, this);
    desfazer->setContext(Qt::WidgetWithChildrenShortcut);
    connect(desfazer, &QShortcut::activated, this, &TPaginaTrechos::Desfazer);

    tbTrechos = new TTabelaResultados("tbTrechos");
    tbTrechos->setModel(FModelo);
    tbTrechos->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    tbTrechos->verticalHeader()->show();
    auto* lados = new TDelegadoLado(tbTrechos);
    tbTrechos->setItemDelegateForColumn(COL_ESQUERDO, lados);
    tbTrechos->setItemDelegateForColumn(COL_DIREITO, lados);
    btnAcrescentarTrecho = Botao("&Acrescentar", "btnAcrescentarTrecho");
    btnRemoverTrecho = Botao("&Remover", "btnRemoverTrecho");
    btnImportarTrechos = Botao("Importar &CSV...", "btnImportarTrechos");
    btnImportarTrechos->setToolTip(
        QStringLiteral("CSV com o cabeçalho nome,inicio_m,comprimento_m,declividade "
                       "(ponto decimal; ou ';' e vírgula decimal). Declividade em m/m, "
                       "positiva onde a estrada desce no sentido do estaqueamento; trechos "
                       "encostados, sem intervalos. Os canais ficam com a seção do projeto. "
                       "Ctrl+Z desfaz a importação."));
    btnPerfil = Botao("Do &perfil...", "btnPerfil");
    btnEstradaMapa = Botao("Da estrada no &mapa...", "btnEstradaMapa");
    btnEstradaMapa->setToolTip(
        QStringLiteral("A linha da estrada num mapa (GPX, KML, KMZ, GeoJSON, GeoPackage ou "
                       "Shapefile), com as cotas dela ou de um modelo de terreno: os trechos "
                       "saem do perfil suavizado, unidos pela tolerância, e a planta mostra a "
                       "estrada. Ctrl+Z desfaz a substituição."));
    btnPerfil->setToolTip(
        QStringLiteral("CSV do perfil longitudinal levantado: posicao_m,cota_m (ponto decimal; "
                       "ou ';' e vírgula decimal). Rampas cujas declividades diferem menos que "
                       "a tolerância viram um trecho só, calculado com a declividade da mais "
                       "íngreme; a média fica ao lado. A cota do primeiro ponto é a inicial."));
    eTolerancia = new QLineEdit;
    eTolerancia->setObjectName(QStringLiteral("eTolerancia"));
    eTolerancia->setMaximumWidth(70);
    eTolerancia->setAlignment(Qt::AlignRight);
    lblTolerancia = Rotulo("", "lblTolerancia");
    eFator = new QLineEdit;
    eFator->setObjectName(QStringLiteral("eFator"));
    eFator->setMaximumWidth(60);
    eFator->setAlignment(Qt::AlignRight);
    eFator->setToolTip(QStringLiteral(
        "Espaçamento adotado = fator × espaçamento calculado (maior que 0 e no máximo 1). "
        "Guardado com o projeto."));

    auto* edicao = new QHBoxLayout;
    for (QPushButton* b :
         {btnAcrescentarTrecho, btnRemoverTrecho, btnImportarTrechos, btnPerfil, btnEstradaMapa})
        edicao->addWidget(b);
    auto* rTol = Rotulo("&Tolerância");
    rTol->setBuddy(eTolerancia);
    rTol->setToolTip(btnPerfil->toolTip());
    edicao->addWidget(rTol);
    edicao->addWidget(eTolerancia);
    edicao->addWidget(lblTolerancia);
    edicao->addStretch();

    btnCalcularTrechos = Botao("&Calcular", "btnCalcularTrechos");
    btnCancelarTrechos = Botao("Ca&ncelar", "btnCancelarTrechos");
    pbTrechos = new QProgressBar;
    pbTrechos->setObjectName(QStringLiteral("pbTrechos"));
    pbTrechos->setRange(0, 1);
    pbTrechos->setValue(0);
    pbTrechos->setMaximumWidth(200);
    lblSituacaoTrechos = Rotulo("", "lblSituacaoTrechos");
    lblSituacaoTrechos->setWordWrap(true);
    auto* calc = new QHBoxLayout;
    auto* rFator = Rotulo("&Fator de segurança do espaçamento");
    rFator->setBuddy(eFator);
    rFator->setToolTip(eFator->toolTip());
    calc->addWidget(rFator);
    calc->addWidget(eFator);
    calc->addWidget(btnCalcularTrechos);
    calc->addWidget(btnCancelarTrechos);
    calc->addWidget(pbTrechos, 1);
    calc->addWidget(lblSituacaoTrechos, 2);

    auto* gTrechos = Grupo(" Trechos da estrada ", "gbTrechos");
    auto* ht = new QVBoxLayout(gTrechos);
    ht->setContentsMargins(4, 4, 4, 4);
    ht->addWidget(tbTrechos, 1);
    ht->addLayout(edicao);
    ht->addLayout(calc);

    DesenhoEstrada = new TDesenhoEstrada;
    PlantaEstrada = new TPlantaEstrada;
    PlantaEstrada->hide();
    DesenhoEstrada->LugarEscolhido = [this](double posicao) { MarcarLugar(posicao); };
    PlantaEstrada->LugarEscolhido = [this](double posicao) { MarcarLugar(posicao); };
    // O perfil e a planta lado a lado: um clique num marca o lugar nos dois.
    FDesenhos = new QSplitter(Qt::Horizontal);
    FDesenhos->setChildrenCollapsible(false);
    FDesenhos->addWidget(DesenhoEstrada);
    FDesenhos->addWidget(PlantaEstrada);

    tbNota = new TTabelaResultados("tbNota");
    tbNota->setModel(FNota);
    tbNota->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    auto* gNota = Grupo(" Nota de locação dos desaguadouros ", "gbNota");
    auto* hn = new QVBoxLayout(gNota);
    hn->setContentsMargins(4, 4, 4, 4);
    hn->addWidget(tbNota);

    auto* divisor = new QSplitter(Qt::Vertical);
    divisor->setChildrenCollapsible(false);
    divisor->addWidget(gTrechos);
    divisor->addWidget(FDesenhos);
    divisor->addWidget(gNota);
    divisor->setStretchFactor(0, 3);
    divisor->setStretchFactor(1, 2);
    divisor->setStretchFactor(2, 3);

    btnCopiarTrechos = Botao("C&opiar", "btnCopiarTrechos");
    btnExportarTrechos = Botao("&Exportar nota...", "btnExportarTrechos");
    btnExportarDesenho = Botao("Exportar &desenho...", "btnExportarDesenho");
    btnExportarPlanta = Botao("Exportar p&lanta...", "btnExportarPlanta");
    btnExportarMapa = Botao("E&xportar para o mapa...", "btnExportarMapa");
    btnExportarMapa->setToolTip(
        QStringLiteral("Os desaguadouros e os canais que chegam a eles, na estrada do mapa: "
                       "GeoPackage (QGIS), KML (Google Earth), GPX (GPS de campo), GeoJSON ou "
                       "CSV com latitude, longitude e UTM."));
    btnImprimirTrechos = Botao("&Imprimir...", "btnImprimirTrechos");
    btnVoltarTrechos = Botao("&Voltar", "btnVoltarTrechos");
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    for (QPushButton* b :
         {btnCopiarTrechos, btnExportarTrechos, btnExportarDesenho, btnExportarPlanta,
          btnExportarMapa, btnImprimirTrechos, btnVoltarTrechos})
        botoes->addWidget(b);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 4, 6, 4);
    v->addWidget(divisor, 1);
    v->addLayout(botoes);

    auto proteger = [this](std::function<void()> acao) {
        return [this, acao] {
            try {
                acao();
            } catch (const std::exception& e) {
                FAmb.Erro(MensagemParaUsuario(e));
            }
        };
    };
    connect(btnAcrescentarTrecho, &QPushButton::clicked, this, &TPaginaTrechos::Acrescentar);
    connect(btnRemoverTrecho, &QPushButton::clicked, this, &TPaginaTrechos::Remover);
    connect(btnImportarTrechos, &QPushButton::clicked, this, proteger([this] {
                const QString c = EscolherArquivo(QStringLiteral("Importar trechos"));
                if (!c.isEmpty()) ImportarCsv(c);
            }));
    connect(btnPerfil, &QPushButton::clicked, this, proteger([this] {
                const QString c = EscolherArquivo(QStringLiteral("Perfil longitudinal"));
                if (!c.isEmpty()) DerivarDoPerfil(c);
            }));
    PedirEstrada = [this](const TPedidoEstrada& anterior) -> std::optional<TPedidoEstrada> {
        TDialogoEstradaMapa dialogo(anterior, this);
        dialogo.Erro = FAmb.Erro;
        if (dialogo.exec() != QDialog::Accepted) return std::nullopt;
        return dialogo.Aceito();
    };
    connect(btnEstradaMapa, &QPushButton::clicked, this, proteger([this] {
                if (const auto pedido = PedirEstrada(FPedidoMapa)) AbrirDoMapa(*pedido);
            }));
    connect(eFator, &QLineEdit::editingFinished, this, [this] {
        try {
            AplicarFator();
        } catch (const std::exception& e) {
            // O valor guardado volta antes da caixa, que tira o foco do campo.
            eFator->setText(Real(FAmb.Projeto->FatorEspacamento, SeparadorDecimal()));
            FAmb.Erro(MensagemParaUsuario(e));
        }
    });
    connect(btnCalcularTrechos, &QPushButton::clicked, this, proteger([this] { Calcular(); }));
    connect(btnCancelarTrechos, &QPushButton::clicked, this, &TPaginaTrechos::Cancelar);
    connect(btnCopiarTrechos, &QPushButton::clicked, tbNota, &TTabelaResultados::Copiar);
    connect(btnExportarTrechos, &QPushButton::clicked, this, proteger([this] {
                QString nome = QFileDialog::getSaveFileName(
                    this, QStringLiteral("Exportar a nota de locação"),
                    QStringLiteral("nota-de-locacao.csv"), QStringLiteral("Planilha CSV (*.csv)"));
                if (nome.isEmpty()) return;
                if (!nome.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) nome += ".csv";
                ExportarCsv(nome);
            }));
    connect(btnExportarDesenho, &QPushButton::clicked, this, proteger([this] {
                const QString nome = EscolherImagem(QStringLiteral("Exportar o perfil"),
                                                    QStringLiteral("perfil.png"));
                if (!nome.isEmpty()) ExportarDesenho(nome);
            }));
    connect(btnExportarPlanta, &QPushButton::clicked, this, proteger([this] {
                const QString nome = EscolherImagem(QStringLiteral("Exportar a planta"),
                                                    QStringLiteral("planta.png"));
                if (!nome.isEmpty()) ExportarPlanta(nome);
            }));
    connect(btnExportarMapa, &QPushButton::clicked, this, proteger([this] {
                QString filtro;
                QString nome = QFileDialog::getSaveFileName(
                    this, QStringLiteral("Exportar os desaguadouros para o mapa"),
                    QStringLiteral("desaguadouros.gpkg"),
                    QStringLiteral("GeoPackage (*.gpkg);;KML (*.kml);;GPX (*.gpx);;"
                                   "GeoJSON (*.geojson);;CSV (*.csv)"),
                    &filtro);
                if (nome.isEmpty()) return;
                if (!FormatoPelaExtensao(QFile::encodeName(nome).toStdString()))
                    nome += QLatin1Char('.') + filtro.section(QStringLiteral("*."), 1).chopped(1);
                ExportarParaMapa(nome);
            }));
    connect(btnImprimirTrechos, &QPushButton::clicked, this, proteger([this] {
                QPrintPreviewDialog dialogo(&FAmb.Impressora(), this);
                dialogo.setWindowTitle(QStringLiteral("Imprimir a nota de locação"));
                connect(&dialogo, &QPrintPreviewDialog::paintRequested, this,
                        [this](QPrinter* p) { ImprimirEm(*p); });
                dialogo.exec();
            }));
    connect(btnVoltarTrechos, &QPushButton::clicked, this, [this] { FAmb.Voltar(); });
    connect(FLote, &TExecucaoLote::Andamento, this, [this](int feitos, int total) {
        // A barra se redesenha na hora a cada valor: com centenas de descidas, no máximo a
        // cada 50 ms.
        if (feitos < total && FUltimoAndamento.isValid() && FUltimoAndamento.elapsed() < 50) return;
        FUltimoAndamento.start();
        pbTrechos->setRange(0, total);
        pbTrechos->setValue(std::max(pbTrechos->value(), feitos));
    });
    Atualizar();
    Recarregar();
    // F1 nestas páginas abre a ajuda dos estudos.
    Ajuda::DefinirContexto(this, CONTEXTO_ESTUDOS);
}

TPaginaTrechos::~TPaginaTrechos() = default;

QString TPaginaTrechos::EscolherImagem(const QString& titulo, const QString& padrao) {
    QString filtro;
    QString nome = QFileDialog::getSaveFileName(
        this, titulo, padrao, QStringLiteral("Imagem PNG (*.png);;Desenho SVG (*.svg)"), &filtro);
    if (nome.isEmpty()) return nome;
    const QString sufixo = QFileInfo(nome).suffix().toLower();
    if (sufixo != QStringLiteral("png") && sufixo != QStringLiteral("svg"))
        nome += filtro.contains(QStringLiteral("svg")) ? ".svg" : ".png";
    return nome;
}

QString TPaginaTrechos::EscolherArquivo(const QString& titulo) {
    return QFileDialog::getOpenFileName(this, titulo, QString(),
                                        QStringLiteral("Planilha CSV (*.csv);;Todos (*)"));
}

void TPaginaTrechos::Atualizar() {
    lblTolerancia->setText(UnidadeDecl(*FAmb.Unidades));
    if (eTolerancia->text().isEmpty())
        // Meio por cento: rampas de 2,3 % e 2,6 % são um trecho só.
        eTolerancia->setText(Real(0.005 * FAmb.Unidades->FatorDeclividade, SeparadorDecimal()));
    FModelo->Recarregar();
    FNota->Recarregar();
    Redesenhar();
}

void TPaginaTrechos::Recarregar() {
    FAntesDaImportacao.reset();
    FEstrada.reset();
    MostrarEstrada();
    FLote->Abandonar();
    FModelo->Recarregar();
    FNota->Definir({}, false);
    eFator->setText(Real(FAmb.Projeto->FatorEspacamento, SeparadorDecimal()));
    lblSituacaoTrechos->clear();
    pbTrechos->setRange(0, 1);
    pbTrechos->setValue(0);
    Redesenhar();
    Habilitar();
    // A estrada do mapa gravada com o projeto volta para a planta; sem os arquivos, uma
    // mensagem, e os trechos ficam como estão.
    if (const auto& registro = FAmb.Projeto->EstradaMapa) {
        FPedidoMapa = PedidoDe(*registro);
        LerEstrada(FPedidoMapa,
                   "A planta da estrada do mapa não pôde ser mostrada (os trechos do projeto "
                   "ficam como estão): ",
                   [this](std::shared_ptr<const IEstradaDoMapa> estrada) {
                       FEstrada = std::move(estrada);
                       MostrarEstrada();
                       Redesenhar();
                       Habilitar();
                   });
    }
}

void TPaginaTrechos::Redesenhar() {
    DesenhoEstrada->Definir(FModelo->Trechos(), FModelo->CotaInicial(),
                            FNota->Resultado().Desaguadouros);
    DesenhoEstrada->DefinirPerfilLido(FEstrada ? FEstrada->Perfil().Bruto
                                               : std::vector<TPontoPerfil>{});
    PlantaEstrada->DefinirLocacao(FModelo->Trechos(), FNota->Resultado().Desaguadouros);
}

void TPaginaTrechos::MostrarEstrada() {
    DesenhoEstrada->Marcar(std::nullopt);
    if (!FEstrada) {
        PlantaEstrada->Esvaziar();
        PlantaEstrada->hide();
        return;
    }
    std::vector<QPointF> linha;
    for (const TVerticeUtm& v : FEstrada->Vertices())
        linha.emplace_back(v.E, v.N);
    PlantaEstrada->DefinirEstrada(
        std::move(linha), FEstrada->Posicoes(), FEstrada->Relevo(),
        QStringLiteral("UTM %1 %2").arg(FEstrada->Zona()).arg(FEstrada->Sul() ? 'S' : 'N'));
    if (PlantaEstrada->isHidden()) {
        // A planta aparece com metade da largura: com menos, as estacas se amontoam.
        PlantaEstrada->show();
        const int metade = std::max(1, FDesenhos->width() / 2);
        FDesenhos->setSizes({metade, metade});
    }
}

void TPaginaTrechos::MarcarLugar(double posicao) {
    DesenhoEstrada->Marcar(posicao);
    PlantaEstrada->Marcar(posicao);
}

void TPaginaTrechos::Alterados() {
    // Depois de outra mudança, desfazer a importação levaria essa junto.
    FAntesDaImportacao.reset();
    // Uma nota de outros trechos não pode ficar na tela.
    FNota->Definir({}, false);
    lblSituacaoTrechos->clear();
    Redesenhar();
    FAmb.MarcarAlterado();
    Habilitar();
}

bool TPaginaTrechos::Substituir(std::vector<TTrecho> trechos, std::optional<double> cota,
                                const QString& origem,
                                std::shared_ptr<const IEstradaDoMapa> estrada,
                                std::optional<TEstradaMapaProjeto> registro) {
    std::vector<TTrecho>& atuais = FModelo->Trechos();
    if (!atuais.empty() &&
        !Confirmar(QStringLiteral("Substituir os %1 trechos da tabela pelos %2 %3? Ctrl+Z "
                                  "desfaz a substituição.")
                       .arg(atuais.size())
                       .arg(trechos.size())
                       .arg(origem)))
        return false;
    TAntes antes{std::exchange(atuais, std::move(trechos)), FAmb.Projeto->CotaInicial,
                 std::exchange(FEstrada, std::move(estrada)),
                 std::exchange(FAmb.Projeto->EstradaMapa, std::move(registro))};
    FAmb.Projeto->CotaInicial = cota;
    FModelo->Recarregar();
    MostrarEstrada();
    Alterados();
    FAntesDaImportacao = std::move(antes);
    return true;
}

void TPaginaTrechos::Desfazer() {
    if (!FAntesDaImportacao || Calculando()) return;
    TAntes antes = std::move(*FAntesDaImportacao);
    FModelo->Trechos() = std::move(antes.Trechos);
    FAmb.Projeto->CotaInicial = antes.Cota;
    FEstrada = std::move(antes.Estrada);
    FAmb.Projeto->EstradaMapa = std::move(antes.Registro);
    FModelo->Recarregar();
    MostrarEstrada();
    Alterados();
    lblSituacaoTrechos->setText(QStringLiteral("Importação desfeita."));
}

void TPaginaTrechos::Acrescentar() {
    auto& ts = FModelo->Trechos();
    TTrecho t;
    t.Nome = "T" + std::to_string(ts.size() + 1);
    if (!ts.empty()) {
        t.Inicio = ts.back().Inicio + ts.back().Comprimento;
        t.Comprimento = ts.back().Comprimento;
        t.Declividade = ts.back().Declividade;
    } else {
        t.Comprimento = std::max(1, FAmb.Projeto->Estrada.Comprimento());
        t.Declividade = FAmb.Projeto->Estrada.Sc > 0 ? FAmb.Projeto->Estrada.Sc : 0.02;
    }
    const int n = int(ts.size());
    FModelo->Inserir(std::move(t));
    tbTrechos->setCurrentIndex(FModelo->index(n, 0));
    Alterados();
}

void TPaginaTrechos::Remover() {
    QList<int> linhas;
    for (const QModelIndex& i : tbTrechos->selectionModel()->selectedIndexes())
        if (!linhas.contains(i.row())) linhas << i.row();
    if (linhas.isEmpty() && tbTrechos->currentIndex().isValid())
        linhas << tbTrechos->currentIndex().row();
    if (linhas.isEmpty()) return;
    std::sort(linhas.begin(), linhas.end(), std::greater<>());
    for (int l : linhas)
        FModelo->RemoverLinha(l);
    Alterados();
}

void TPaginaTrechos::ImportarCsv(const QString& caminho) {
    std::istringstream entrada(LerArquivoTexto(caminho));
    std::vector<TTrecho> trechos;
    try {
        trechos = LerTrechosCsv(entrada);
    } catch (const EMorvendo& e) {
        throw EMorvendo(QFileInfo(caminho).fileName().toStdString() + ": " + e.what());
    }
    const QString nome = QFileInfo(caminho).fileName();
    if (!Substituir(std::move(trechos), FAmb.Projeto->CotaInicial,
                    QStringLiteral("de %1").arg(nome)))
        return;
    lblSituacaoTrechos->setText(
        QStringLiteral("%1 trechos importados.").arg(FModelo->Trechos().size()));
}

double TPaginaTrechos::Tolerancia() {
    const std::string texto = eTolerancia->text().trimmed().toStdString();
    const auto tol = TentarTextoParaReal(texto, SeparadorDecimal());
    const std::string unidade = FAmb.Unidades->UnidadeDeclividade;
    if (!tol || !std::isfinite(*tol) || *tol < 0) {
        eTolerancia->setFocus();
        throw EMorvendo("\"" + texto + "\" não serve como \"Tolerância\" (" + unidade +
                        "): a diferença de declividade que une rampas num trecho deve ser um "
                        "número maior ou igual a zero.");
    }
    return *tol / FAmb.Unidades->FatorDeclividade;
}

void TPaginaTrechos::DerivarDoPerfil(const QString& caminho) {
    const double tol = Tolerancia();
    std::istringstream entrada(LerArquivoTexto(caminho));
    std::vector<TTrecho> trechos;
    std::optional<double> cota;
    try {
        // O do levantamento ou o da linha de comando, com os canais de cada lado.
        const std::vector<TPontoPerfilLados> perfil = LerPerfilComLadosOuNaoCsv(entrada);
        trechos = TrechosDoPerfil(perfil, tol);
        // O perfil desenhado parte da cota levantada.
        if (!perfil.empty()) cota = perfil.front().Ponto.Cota;
    } catch (const EMorvendo& e) {
        throw EMorvendo(QFileInfo(caminho).fileName().toStdString() + ": " + e.what());
    }
    if (trechos.empty()) throw EMorvendo("O perfil não forma nenhum trecho de 1 m ou mais.");
    if (!Substituir(std::move(trechos), cota,
                    QStringLiteral("do perfil %1").arg(QFileInfo(caminho).fileName())))
        return;
    lblSituacaoTrechos->setText(
        QStringLiteral("%1 trechos tirados do perfil.").arg(FModelo->Trechos().size()));
}

void TPaginaTrechos::LerEstrada(const TPedidoEstrada& pedido, const std::string& falha,
                                std::function<void(std::shared_ptr<const IEstradaDoMapa>)> aberta) {
    TPedidoEstrada completo = pedido;
    // A imagem do relevo, reduzida no módulo: nunca o modelo inteiro na resolução dele.
    completo.LadoRelevo = 1500;
    pbTrechos->setRange(0, 0);
    lblSituacaoTrechos->setText(
        QStringLiteral("Lendo a estrada de %1...").arg(NomeDaLinha(pedido)));
    struct TSaida {
        std::unique_ptr<IEstradaDoMapa> Estrada;
        std::string Erro;
    };
    auto saida = std::make_shared<TSaida>();
    FLote->Iniciar(
        [completo, saida](IAndamentoLote&, const TCancelamentoLote&) {
            try {
                saida->Estrada = AbrirEstradaDoMapa(completo);
            } catch (const std::bad_alloc&) {
                saida->Erro = "Memória insuficiente para ler a estrada.";
            } catch (const std::exception& e) {
                saida->Erro = e.what();
            }
        },
        [this, saida, falha, aberta = std::move(aberta)](bool cancelado) {
            pbTrechos->setRange(0, 1);
            pbTrechos->setValue(0);
            lblSituacaoTrechos->clear();
            Habilitar();
            if (cancelado) {
                lblSituacaoTrechos->setText(QStringLiteral("Leitura da estrada cancelada."));
            } else if (!saida->Erro.empty()) {
                lblSituacaoTrechos->setText(QStringLiteral("A estrada do mapa não foi aberta."));
                FAmb.Erro(falha + saida->Erro);
            } else {
                aberta(std::move(saida->Estrada));
            }
        });
    Habilitar();
}

void TPaginaTrechos::AbrirDoMapa(const TPedidoEstrada& pedido) {
    if (Calculando()) return;
    FPedidoMapa = pedido;
    LerEstrada(pedido, "", [this, pedido](std::shared_ptr<const IEstradaDoMapa> estrada) {
        const QString nome = NomeDaLinha(pedido);
        const std::vector<TPontoPerfil>& perfil = estrada->Perfil().Perfil;
        std::vector<TTrecho> trechos;
        try {
            // Um trecho por rampa do perfil já suavizado e de trecho mínimo: a mesma locação
            // que a linha de comando dá para a mesma estrada.
            trechos = TrechosDasRampas(perfil);
        } catch (const EMorvendo& e) {
            FAmb.Erro(nome.toStdString() + ": " + e.what());
            return;
        }
        if (trechos.empty()) {
            FAmb.Erro("O perfil da estrada não forma nenhum trecho de 1 m ou mais.");
            return;
        }
        if (!Substituir(std::move(trechos), perfil.front().Cota,
                        QStringLiteral("da estrada de %1").arg(nome), std::move(estrada),
                        RegistroDe(pedido)))
            return;
        lblSituacaoTrechos->setText(
            QStringLiteral("%1 trechos tirados da estrada de %2 (%3 m).")
                .arg(FModelo->Trechos().size())
                .arg(nome)
                .arg(QString::fromStdString(
                    FormatFloat("0.0", FEstrada->Posicoes().back(), SeparadorDecimal()))));
    });
}

void TPaginaTrechos::AplicarFator() {
    const std::string texto = eFator->text().trimmed().toStdString();
    const auto f = TentarTextoParaReal(texto, SeparadorDecimal());
    if (!f || !(*f > 0 && *f <= 1)) {
        throw EMorvendo("\"" + texto +
                        "\" não serve como \"Fator de segurança do espaçamento\": deve ser um "
                        "número maior que 0 e no máximo 1.");
    }
    if (*f == FAmb.Projeto->FatorEspacamento) return;
    FAmb.Projeto->FatorEspacamento = *f;
    Alterados();
}

bool TPaginaTrechos::Calculando() const {
    return FLote->Executando();
}

namespace {

// O que a linha do cálculo devolve à janela.
struct TSaidaLocacao {
    TResultadoLocacao Resultado;
    bool Semicircular = false;
    std::string Erro;
};

// Nada que não seja número chega à nota.
void ConferirFinitos(const TResultadoLocacao& r) {
    for (const TDesaguadouro& d : r.Desaguadouros)
        for (const double v :
             {d.Posicao, d.DeclividadeMontante, d.Chegada.VazaoPico, d.Chegada.Volume})
            if (!std::isfinite(v))
                throw EMorvendo("A vazão ou o volume que chega ao desaguadouro " +
                                std::to_string(d.Numero) +
                                " não é um número finito; verifique os dados do projeto.");
}

} // namespace

void TPaginaTrechos::Calcular() {
    if (Calculando()) return;
    if (FModelo->Trechos().empty())
        throw EMorvendo("Não há trechos: acrescente-os, importe um CSV ou use o perfil "
                        "longitudinal.");
    AplicarFator();
    TArquivoIni projeto = FAmb.Instantaneo();
    std::vector<TTrecho> trechos = FModelo->Trechos();
    TOpcoesLocacao opcoes;
    opcoes.Fator = FAmb.Projeto->FatorEspacamento;
    opcoes.Linhas = std::max(1u, Linhas);
    FNota->Definir({}, false);
    Redesenhar();
    // Os hidrogramas dos planos vêm antes das descidas: até lá, sem número de etapas.
    pbTrechos->setRange(0, 0);
    pbTrechos->setValue(0);
    lblSituacaoTrechos->setText(
        QStringLiteral("Locando os desaguadouros de %1 trechos...").arg(trechos.size()));
    auto saida = std::make_shared<TSaidaLocacao>();
    auto relogio = std::make_shared<QElapsedTimer>();
    relogio->start();
    FLote->Iniciar(
        [projeto = std::move(projeto), trechos, opcoes, saida](IAndamentoLote& a,
                                                               const TCancelamentoLote& c) {
            // Uma cópia do projeto só desta linha: a janela continua com o seu.
            try {
                TUnidades unidades;
                TProjeto p(unidades);
                ZerarVariaveis(p);
                TArquivoIni copia = projeto;
                if (!LerProjeto(p, copia)) throw EMorvendo("O projeto não pôde ser lido.");
                if (auto falha = ValidarDados(p)) throw EMorvendo(falha->Mensagem);
                saida->Semicircular = p.Estrada.Bacia.Formato == TBaciaAcumulacao::SEMICIRCULAR;
                saida->Resultado = LocarDesaguadouros(p, trechos, opcoes, &a, &c);
                ConferirFinitos(saida->Resultado);
            } catch (const std::bad_alloc&) {
                saida->Erro = "Memória insuficiente para o cálculo.";
            } catch (const std::exception& e) {
                saida->Erro = e.what();
            }
        },
        [this, saida, relogio](bool cancelado) {
            pbTrechos->setRange(0, 1);
            pbTrechos->setValue(0);
            if (!cancelado && saida->Erro.empty()) pbTrechos->setValue(1);
            if (cancelado || saida->Resultado.Cancelado) {
                lblSituacaoTrechos->setText(QStringLiteral("Cálculo cancelado."));
            } else if (!saida->Erro.empty()) {
                lblSituacaoTrechos->setText(QStringLiteral("Cálculo não concluído."));
                FAmb.Erro(saida->Erro);
            } else {
                FNota->Definir(std::move(saida->Resultado), saida->Semicircular);
                Redesenhar();
                int esquerda = 0, direita = 0, semEspacamento = 0;
                for (const TDesaguadouro& d : FNota->Resultado().Desaguadouros) {
                    (d.Lado == TLado::Esquerdo ? esquerda : direita)++;
                    semEspacamento += d.NenhumEspacamento;
                }
                const char sep = SeparadorDecimal();
                lblSituacaoTrechos->setText(
                    QStringLiteral("%1 desaguadouros (%2 à esquerda, %3 à direita), espaçamento "
                                   "adotado de %4 × o calculado%5 (%6 s).")
                        .arg(esquerda + direita)
                        .arg(esquerda)
                        .arg(direita)
                        .arg(Real(FAmb.Projeto->FatorEspacamento, sep))
                        .arg(semEspacamento ? QStringLiteral("; %1 sem espaçamento que atenda")
                                                  .arg(semEspacamento)
                                            : QString())
                        .arg(FormatarCasas(relogio->elapsed() / 1000.0, 1)));
            }
            tbNota->resizeColumnsToContents();
            Habilitar();
        });
    Habilitar();
}

void TPaginaTrechos::Cancelar() {
    FLote->Cancelar();
}

void TPaginaTrechos::Habilitar() {
    const bool calculando = Calculando();
    const bool ha = FNota->rowCount() > 0;
    btnCalcularTrechos->setEnabled(!calculando);
    btnCancelarTrechos->setEnabled(calculando);
    for (QWidget* w : std::initializer_list<QWidget*>{
             tbTrechos, btnAcrescentarTrecho, btnRemoverTrecho, btnImportarTrechos, btnPerfil,
             btnEstradaMapa, eTolerancia, eFator})
        w->setEnabled(!calculando);
    for (QPushButton* b : {btnCopiarTrechos, btnExportarTrechos, btnImprimirTrechos})
        b->setEnabled(ha && !calculando);
    btnExportarDesenho->setEnabled(!FModelo->Trechos().empty() && !calculando);
    btnExportarPlanta->setEnabled(FEstrada && !calculando);
    btnExportarMapa->setEnabled(FEstrada && ha && !calculando);
}

const TResultadoLocacao& TPaginaTrechos::Nota() const {
    return FNota->Resultado();
}

void TPaginaTrechos::ExportarCsv(const QString& caminho) {
    const std::string csv = NotaLocacaoCsv(FNota->Resultado(), ';', ',');
    GravarCsv(caminho, QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(csv));
}

namespace {

// Um desenho (perfil ou planta) em PNG ou SVG, pela extensão.
template <typename TDesenho>
void GravarDesenho(const QString& caminho, const TDesenho& desenho, QSize tamanho,
                   const char* falha) {
    QByteArray dados;
    if (QFileInfo(caminho).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        dados = desenho.Svg(tamanho);
    } else {
        QBuffer saida(&dados);
        saida.open(QIODevice::WriteOnly);
        if (!desenho.Imagem(tamanho).save(&saida, "PNG")) throw EMorvendo(falha);
    }
    GravarArquivoAtomico(QFile::encodeName(caminho).toStdString(),
                         std::string_view(dados.data(), std::size_t(dados.size())));
}

} // namespace

void TPaginaTrechos::ExportarDesenho(const QString& caminho) {
    GravarDesenho(caminho, *DesenhoEstrada, QSize(1400, 480),
                  "Não foi possível montar a imagem do perfil.");
}

void TPaginaTrechos::ExportarPlanta(const QString& caminho) {
    GravarDesenho(caminho, *PlantaEstrada, QSize(1400, 1000),
                  "Não foi possível montar a imagem da planta.");
}

void TPaginaTrechos::ExportarParaMapa(const QString& caminho) {
    if (!FEstrada) throw EMorvendo("Os trechos não vieram de uma estrada do mapa.");
    if (FNota->rowCount() == 0)
        throw EMorvendo("Não há desaguadouros: calcule a locação antes de exportá-la.");
    FEstrada->GravarLocacao(QFile::encodeName(caminho).toStdString(), FNota->Resultado());
}

namespace {

// Palavras de um título em linhas que cabem na largura; uma palavra nunca é partida.
QStringList QuebrarPalavras(const QString& texto, const QFontMetricsF& fm, double largura) {
    QStringList linhas;
    for (const QString& p : texto.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!linhas.isEmpty() &&
            fm.horizontalAdvance(linhas.back() + QLatin1Char(' ') + p) <= largura)
            linhas.back() += QLatin1Char(' ') + p;
        else
            linhas << p;
    }
    return linhas;
}

double PalavraMaisLarga(const QString& texto, const QFontMetricsF& fm) {
    double w = 0;
    for (const QString& p : texto.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        w = std::max(w, fm.horizontalAdvance(p));
    return w;
}

} // namespace

int TPaginaTrechos::DesenharImpressao(QPainter& p, const QRectF& pagina,
                                      const std::function<void()>& novaPagina) const {
    const QFont base = font();
    int paginas = 1;
    double y = pagina.top();

    QFont titulo = FontePixels(base, 13);
    titulo.setBold(true);
    p.setFont(titulo);
    p.setPen(Qt::black);
    const double hTitulo = QFontMetricsF(titulo).height();
    p.drawText(QRectF(pagina.left(), y, pagina.width(), hTitulo), Qt::AlignLeft,
               QStringLiteral("Nota de locação dos desaguadouros"));
    y += hTitulo * 1.3;

    const QFont texto = FontePixels(base, 9);
    p.setFont(texto);
    const QString nome = QString::fromStdString(FAmb.NomeProjeto());
    const QString cabeca =
        QStringLiteral("Projeto: %1. %2")
            .arg(nome.isEmpty() ? QStringLiteral("(sem nome)") : nome, lblSituacaoTrechos->text());
    const QRectF caixa = QFontMetricsF(texto).boundingRect(
        QRectF(pagina.left(), y, pagina.width(), 1e6), Qt::TextWordWrap, cabeca);
    p.drawText(QRectF(pagina.left(), y, pagina.width(), caixa.height()), Qt::TextWordWrap, cabeca);
    y += caixa.height() + 6;

    // O perfil na largura da página.
    const double altura = std::min(pagina.width() * 0.36, pagina.height() * 0.4);
    p.setFont(FontePixels(base, 7.5));
    DesenhoEstrada->Desenhar(p, QRectF(pagina.left(), y, pagina.width(), altura));
    y += altura + 10;

    // A tabela: a fonte diminui até as colunas caberem na largura da página.
    const TModeloNotaLocacao& m = *FNota;
    const int n = m.columnCount(), avisos = n - 1;
    const char sep = SeparadorDecimal();
    QFont fonte = texto;
    std::vector<double> larguras(std::size_t(n), 0.0);
    double folga = 0;
    for (double px = 9; px >= 4.5; px -= 0.5) {
        fonte = FontePixels(base, px);
        const QFontMetricsF fm(fonte);
        folga = 0.35 * px;
        double soma = 0;
        for (int c = 0; c < n; ++c) {
            double w = PalavraMaisLarga(m.Titulo(c), fm);
            for (int l = 0; l < m.rowCount(); ++l) {
                const QString t = m.Texto(l, c, sep, false);
                w = std::max(w, c == avisos ? PalavraMaisLarga(t, fm) : fm.horizontalAdvance(t));
            }
            // Um ponto a mais: o arredondamento do texto não o quebra na coluna.
            larguras[std::size_t(c)] = w + 2 * folga + 1;
            soma += larguras[std::size_t(c)];
        }
        if (soma <= pagina.width()) break;
    }
    double fixas = 0;
    for (int c = 0; c < avisos; ++c)
        fixas += larguras[std::size_t(c)];
    larguras[std::size_t(avisos)] = std::max(larguras[std::size_t(avisos)], pagina.width() - fixas);
    p.setFont(fonte);
    const QFontMetricsF fm(fonte);
    const double lh = fm.height();
    auto alinhamento = [&](int c) {
        if (c == 1) return Qt::AlignHCenter;
        return c >= 10 ? Qt::AlignLeft : Qt::AlignRight;
    };
    const QPen grade(QColor(120, 120, 120), 0.4);

    std::vector<QStringList> titulos;
    double hCabecalho = 0;
    for (int c = 0; c < n; ++c) {
        titulos.push_back(QuebrarPalavras(m.Titulo(c), fm, larguras[std::size_t(c)] - 2 * folga));
        hCabecalho = std::max(hCabecalho, titulos.back().size() * lh + 2 * folga);
    }
    auto cabecalho = [&] {
        double x = pagina.left();
        for (int c = 0; c < n; ++c) {
            const QRectF r(x, y, larguras[std::size_t(c)], hCabecalho);
            p.fillRect(r, QColor(230, 230, 230));
            p.setPen(grade);
            p.drawRect(r);
            p.setPen(Qt::black);
            p.drawText(r.adjusted(folga, folga, -folga, -folga), Qt::AlignCenter,
                       titulos[std::size_t(c)].join(QLatin1Char('\n')));
            x += larguras[std::size_t(c)];
        }
        y += hCabecalho;
    };
    cabecalho();
    for (int l = 0; l < m.rowCount(); ++l) {
        const QString aviso = m.Texto(l, avisos, sep, false);
        const double hAviso =
            aviso.isEmpty()
                ? lh
                : fm.boundingRect(QRectF(0, 0, larguras[std::size_t(avisos)] - 2 * folga, 1e6),
                                  Qt::TextWordWrap, aviso)
                      .height();
        const double hLinha = std::max(lh, hAviso) + folga;
        if (y + hLinha > pagina.bottom()) {
            novaPagina();
            ++paginas;
            y = pagina.top();
            cabecalho();
        }
        double x = pagina.left();
        const bool vermelha = m.Resultado().Desaguadouros[std::size_t(l)].NenhumEspacamento;
        for (int c = 0; c < n; ++c) {
            const QRectF r(x, y, larguras[std::size_t(c)], hLinha);
            p.setPen(grade);
            p.drawRect(r);
            p.setPen(vermelha ? QColor(170, 0, 0) : QColor(Qt::black));
            p.drawText(r.adjusted(folga, folga / 2, -folga, -folga / 2),
                       int(alinhamento(c)) | Qt::AlignTop |
                           (c == avisos ? int(Qt::TextWordWrap) : 0),
                       m.Texto(l, c, sep, false));
            x += larguras[std::size_t(c)];
        }
        y += hLinha;
    }

    // A planta da estrada do mapa numa folha própria, na largura da página.
    if (FEstrada) {
        novaPagina();
        ++paginas;
        y = pagina.top();
        p.setFont(titulo);
        p.setPen(Qt::black);
        p.drawText(QRectF(pagina.left(), y, pagina.width(), hTitulo), Qt::AlignLeft,
                   QStringLiteral("Planta da estrada"));
        y += hTitulo * 1.3;
        p.setFont(texto);
        const QString legenda =
            QStringLiteral("Estacas de 20 m; desaguadouros à esquerda (E) em azul e à direita "
                           "(D) em laranja, no sentido do estaqueamento; crista em branco, "
                           "baixada em preto.");
        const QRectF caixaLegenda = QFontMetricsF(texto).boundingRect(
            QRectF(pagina.left(), y, pagina.width(), 1e6), Qt::TextWordWrap, legenda);
        p.drawText(QRectF(pagina.left(), y, pagina.width(), caixaLegenda.height()),
                   Qt::TextWordWrap, legenda);
        y += caixaLegenda.height() + 6;
        p.setFont(FontePixels(base, 7.5));
        const QRectF area(pagina.left(), y, pagina.width(),
                          std::min(pagina.bottom() - y, pagina.width() * 1.2));
        PlantaEstrada->Desenhar(p, area);
        p.setPen(QPen(QColor(120, 120, 120), 0.5));
        p.drawRect(area);
    }
    return paginas;
}

void TPaginaTrechos::ImprimirEm(QPrinter& impressora) {
    impressora.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    QPainter p;
    if (!p.begin(&impressora)) throw EMorvendo("Não foi possível iniciar a impressão.");
    p.setRenderHint(QPainter::Antialiasing);
    // Em pontos: as fontes em pixels da página ficam do mesmo tamanho em qualquer impressora.
    const double escala = impressora.resolution() / 72.0;
    p.scale(escala, escala);
    const QRectF pagina(QPointF(0, 0),
                        impressora.pageLayout().paintRect(QPageLayout::Point).size());
    DesenharImpressao(p, pagina, [&] { impressora.newPage(); });
    p.end();
}
