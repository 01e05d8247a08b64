#include "mainwindow/estudos/PaginaTrechos.h"

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
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
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
#include "mainwindow/Controles.h"
#include "mainwindow/estudos/Lote.h"
#include "mainwindow/estudos/Tabelas.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "mainwindow/uRotinasComuns.h"
#include "project/CamposProjeto.h"
#include "project/Projeto.h"

namespace {

QString Real(double v, char sep) {
    return QString::fromStdString(FloatToStr(v, sep));
}

QString Declividade(double mm, const TUnidades& u, char sep) {
    return Real(mm * u.FatorDeclividade, sep);
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

QString Posicoes(const std::vector<double>& p, char sep, const QString& separador) {
    QStringList t;
    for (const double x : p)
        t << Real(x, sep);
    return t.join(separador);
}

} // namespace

// Os trechos do próprio projeto, editados no lugar: cada mudança marca o projeto alterado.
class TModeloTrechos : public TModeloTexto {
public:
    TModeloTrechos(TProjeto& p, const TUnidades& u, QObject* pai)
        : TModeloTexto(pai), FP(p), FU(u) {}

    std::function<void(const std::string&)> Erro;
    std::function<void()> Mudou;

    std::vector<TTrecho>& Trechos() { return FP.Trechos; }
    void Inserir(TTrecho t) {
        const int n = rowCount();
        beginInsertRows({}, n, n);
        FP.Trechos.push_back(std::move(t));
        endInsertRows();
    }
    void RemoverLinha(int l) {
        beginRemoveRows({}, l, l);
        FP.Trechos.erase(FP.Trechos.begin() + l);
        endRemoveRows();
    }
    void Recarregar() {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : int(FP.Trechos.size());
    }
    int columnCount(const QModelIndex& pai = {}) const override { return pai.isValid() ? 0 : 6; }
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
        default:
            return QStringLiteral("Declividade média (%1)").arg(UnidadeDecl(FU));
        }
    }
    QString Texto(int l, int c, char sep, bool) const override {
        const TTrecho& t = FP.Trechos[std::size_t(l)];
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
        default:
            return t.DeclividadeMedia ? Declividade(*t.DeclividadeMedia, FU, sep) : QString();
        }
    }
    QVariant data(const QModelIndex& i, int papel) const override {
        if (papel == Qt::EditRole) return Texto(i.row(), i.column(), SeparadorDecimal(), false);
        if (papel == Qt::ForegroundRole) return {};
        return TModeloTexto::data(i, papel);
    }
    // A estaca e a média saem dos outros valores: só se leem.
    Qt::ItemFlags flags(const QModelIndex& i) const override {
        return TModeloTexto::flags(i) | (i.column() < 4 ? Qt::ItemIsEditable : Qt::NoItemFlags);
    }

    bool setData(const QModelIndex& i, const QVariant& valor, int papel) override {
        if (papel != Qt::EditRole || !i.isValid() || i.column() >= 4) return false;
        TTrecho& t = FP.Trechos[std::size_t(i.row())];
        const QString texto = valor.toString().trimmed();
        if (i.column() == 0) {
            if (texto.toStdString() == t.Nome) return false;
            t.Nome = texto.toStdString();
        } else {
            // Mesma faixa e mesma mensagem dos campos da página de dados.
            const std::string grupo = "trecho " + std::to_string(i.row() + 1);
            const TCampoProjeto campos[3] = {{CAMPO_NENHUM, "Início", grupo.c_str(), "Trechos",
                                              TUnidadeCampo::Fixa, "m", 0, true,
                                              INICIO_MAXIMO_TRECHO, false},
                                             {CAMPO_NENHUM, "Comprimento", grupo.c_str(), "Trechos",
                                              TUnidadeCampo::Fixa, "m", 1, true, 100000, true},
                                             {CAMPO_NENHUM, "Declividade", grupo.c_str(), "Trechos",
                                              TUnidadeCampo::Declividade, "", -1, true, 1, false}};
            const TCampoProjeto& c = campos[i.column() - 1];
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
            else if (i.column() == 3 && *v == 0)
                motivo = TMotivoFalha::Faixa;
            if (motivo) {
                std::string m = MensagemCampo(c, FU, *motivo, texto.toStdString());
                // Com sinal: negativa onde a estrada sobe no sentido do estaqueamento.
                const std::string faixa = "deve estar entre";
                if (const auto p = m.find(faixa); i.column() == 3 && p != std::string::npos)
                    m.replace(p, faixa.size(), "deve ser diferente de zero e estar entre");
                if (Erro) Erro(m);
                return false;
            }
            const std::size_t l = std::size_t(i.row());
            if (i.column() == 1 && l > 0) {
                // A estrada não tem buracos nem trechos sobrepostos: o início de um trecho é o
                // fim do anterior.
                const TTrecho& a = FP.Trechos[l - 1];
                if (const char* falta = FaltaDeContinuidade(a, *v)) {
                    TTrecho novo = t;
                    novo.Inicio = *v;
                    const char sep = SeparadorDecimal();
                    if (Erro)
                        Erro("Os trechos " + Descrever(a, sep) + " e " + Descrever(novo, sep) +
                             " " + falta + ": o trecho " + std::to_string(l + 1) +
                             " começa onde o anterior "
                             "termina, em " +
                             FloatToStr(a.Inicio + a.Comprimento, sep) + " m.");
                    return false;
                }
            }
            // O primeiro início move a estrada inteira; um comprimento, os trechos seguintes.
            double deslocamento = 0;
            std::size_t desde = l + 1;
            if (i.column() == 1 && l == 0) {
                deslocamento = *v - t.Inicio;
                desde = 0;
            }
            if (i.column() == 2) deslocamento = *v - t.Comprimento;
            for (std::size_t k = desde; deslocamento != 0 && k < FP.Trechos.size(); ++k) {
                const double novo = FP.Trechos[k].Inicio + deslocamento;
                if (!(novo >= 0 && novo <= INICIO_MAXIMO_TRECHO)) {
                    if (Erro)
                        Erro("O trecho " + std::to_string(k + 1) + " passaria a começar em " +
                             FloatToStr(novo, SeparadorDecimal()) + " m, fora da faixa de 0 a " +
                             FloatToStr(INICIO_MAXIMO_TRECHO) + " m.");
                    return false;
                }
            }
            if (i.column() == 1 && l > 0) t.Inicio = *v;
            if (i.column() == 2) t.Comprimento = int(*v);
            if (i.column() == 3) t.Declividade = *v / FU.FatorDeclividade;
            if (deslocamento != 0) {
                for (std::size_t k = desde; k < FP.Trechos.size(); ++k)
                    FP.Trechos[k].Inicio += deslocamento;
                emit dataChanged(index(int(desde), 1), index(rowCount() - 1, columnCount() - 1));
            }
        }
        emit dataChanged(i, i);
        if (Mudou) Mudou();
        return true;
    }

private:
    TProjeto& FP;
    const TUnidades& FU;
};

// Resultado por trecho; o que falhou leva a mensagem depois dos dados do trecho.
class TModeloResultadoTrechos : public TModeloTexto {
public:
    TModeloResultadoTrechos(const TUnidades& u, QObject* pai) : TModeloTexto(pai), FU(u) {}

    void Definir(std::vector<TResultadoTrecho> r) {
        beginResetModel();
        FR = std::move(r);
        endResetModel();
    }
    const std::vector<TResultadoTrecho>& Resultados() const { return FR; }

    int rowCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : int(FR.size());
    }
    int columnCount(const QModelIndex& pai = {}) const override { return pai.isValid() ? 0 : 10; }
    int ColunaMensagem() const override { return 4; }
    bool Falhou(int l) const override { return !FR[std::size_t(l)].Resultado.Ok; }
    QString Titulo(int c) const override {
        static const char* const T[10] = {"Trecho",
                                          "Início (m)",
                                          "Comprimento (m)",
                                          "",
                                          "Espaçamento máximo (m)",
                                          "Desaguadouros",
                                          "Posições (m)",
                                          "Estacas",
                                          "Volume escoado da bacia (m³)",
                                          "Avisos"};
        if (c == 3) return QStringLiteral("Declividade (%1)").arg(UnidadeDecl(FU));
        return QString::fromUtf8(T[c]);
    }
    QString Texto(int l, int c, char sep, bool completo) const override {
        const TResultadoTrecho& r = FR[std::size_t(l)];
        const TResultadoExecucao& e = r.Resultado;
        switch (c) {
        case 0:
            return QString::fromStdString(r.Trecho.Nome);
        case 1:
            return Real(r.Trecho.Inicio, sep);
        case 2:
            return QString::number(r.Trecho.Comprimento);
        case 3:
            return Declividade(r.Trecho.Declividade, FU, sep);
        default:
            break;
        }
        if (!e.Ok) return c == 4 ? QString::fromStdString(e.Erro) : QString();
        switch (c) {
        case 4:
            // Nunca "0" nem "1": a frase inteira vai nos avisos.
            return e.NenhumEspacamento ? QStringLiteral("nenhum atende")
                                       : QString::number(e.Espacamento);
        case 5:
            return QString::number(r.Posicoes.size());
        case 6:
            return Posicoes(r.Posicoes, sep, QStringLiteral(" | "));
        case 7: {
            QStringList estacas;
            for (const double x : r.Posicoes)
                estacas << EstacaDe(x, sep);
            return estacas.join(QStringLiteral(" | "));
        }
        case 9:
            return QString::fromStdString(AvisosNumaCelula(e.Avisos));
        default:
            if (!e.VolumeBacia) return completo ? QString() : QStringLiteral("---");
            return completo ? Real(*e.VolumeBacia, sep)
                            : QString::fromStdString(FormatFloat("0.0##", *e.VolumeBacia, sep));
        }
    }

private:
    const TUnidades& FU;
    std::vector<TResultadoTrecho> FR;
};

namespace {

// A lista dos desaguadouros ao longo da estrada, para o CSV: um por linha.
class TModeloDesaguadouros : public TModeloTexto {
public:
    struct TLinha {
        const TResultadoTrecho* R;
        int Numero; // 0: trecho que falhou ou sem espaçamento que atenda
        double Posicao;
    };
    explicit TModeloDesaguadouros(const std::vector<TResultadoTrecho>& rs) {
        int n = 0;
        for (const TResultadoTrecho& r : rs) {
            if (!r.Resultado.Ok || r.Resultado.NenhumEspacamento) FL.push_back({&r, 0, 0});
            for (const double p : r.Posicoes)
                FL.push_back({&r, ++n, p});
        }
    }
    int rowCount(const QModelIndex& = {}) const override { return int(FL.size()); }
    int columnCount(const QModelIndex& = {}) const override { return 5; }
    int ColunaMensagem() const override { return 2; }
    bool Falhou(int l) const override { return FL[std::size_t(l)].Numero == 0; }
    QString Titulo(int c) const override {
        // A estaca no fim: quem lê as colunas pela posição continua lendo as mesmas.
        static const char* const T[5] = {"Desaguadouro", "Trecho", "Posição (m)",
                                         "Espaçamento do trecho (m)", "Estaca"};
        return QString::fromUtf8(T[c]);
    }
    QString Texto(int l, int c, char sep, bool) const override {
        const TLinha& x = FL[std::size_t(l)];
        if (c == 1) return QString::fromStdString(x.R->Trecho.Nome);
        if (x.Numero == 0) {
            if (c != 2) return {};
            const TResultadoExecucao& e = x.R->Resultado;
            return QString::fromUtf8(e.Ok ? TEXTO_NENHUM_ESPACAMENTO : e.Erro.c_str());
        }
        if (c == 0) return QString::number(x.Numero);
        if (c == 2) return Real(x.Posicao, sep);
        if (c == 4) return EstacaDe(x.Posicao, sep);
        return QString::number(x.R->Resultado.Espacamento);
    }

private:
    std::vector<TLinha> FL;
};

std::string LerArquivoTexto(const QString& caminho) {
    return LerArquivoComum(QFile::encodeName(caminho).toStdString());
}

} // namespace

// --- Desenho -----------------------------------------------------------------------------

TDesenhoEstrada::TDesenhoEstrada(const TUnidades& unidades, QWidget* pai)
    : QWidget(pai), FUnidades(unidades) {
    setObjectName(QStringLiteral("DesenhoEstrada"));
    setMinimumHeight(140);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TDesenhoEstrada::Definir(std::vector<TTrecho> trechos,
                              std::vector<TResultadoTrecho> resultados) {
    FTrechos = std::move(trechos);
    FResultados = std::move(resultados);
    update();
}

namespace {

struct TEscalaEstrada {
    double Inicio = 0, Fim = 1;
    bool Km = false;
    std::vector<double> Marcas;
};

TEscalaEstrada Escala(const std::vector<TTrecho>& trechos) {
    TEscalaEstrada e;
    if (!trechos.empty()) {
        e.Inicio = trechos.front().Inicio;
        e.Fim = e.Inicio + 1;
        for (const TTrecho& t : trechos) {
            e.Inicio = std::min(e.Inicio, t.Inicio);
            e.Fim = std::max(e.Fim, t.Inicio + t.Comprimento);
        }
    }
    // Estradas de alguns quilômetros: marcas em km.
    e.Km = e.Fim - e.Inicio >= 2000;
    const double f = e.Km ? 1000 : 1;
    e.Marcas = MarcasDoEixo(e.Inicio / f, e.Fim / f, 9, e.Km ? 0.1 : 1);
    for (double& m : e.Marcas)
        m *= f;
    e.Inicio = std::min(e.Inicio, e.Marcas.front());
    e.Fim = std::max(e.Fim, e.Marcas.back());
    return e;
}

QString RotuloMarca(double m, bool km) {
    if (!km) return QString::number(std::lround(m));
    const double v = m / 1000;
    const int casas = std::abs(v * 10 - std::round(v * 10)) < 1e-6 ? 1 : 2;
    return FormatarCasas(v, casas);
}

} // namespace

QStringList TDesenhoEstrada::MarcasEixo() const {
    const TEscalaEstrada e = Escala(FTrechos);
    QStringList r;
    for (const double m : e.Marcas)
        r << RotuloMarca(m, e.Km);
    return r;
}

QString TDesenhoEstrada::TituloEixo() const {
    return Escala(FTrechos).Km ? QStringLiteral("Posição ao longo da estrada (km)")
                               : QStringLiteral("Posição ao longo da estrada (m)");
}

QImage TDesenhoEstrada::Imagem(QSize tamanho) {
    const QSize antes = size();
    resize(tamanho);
    QImage imagem(tamanho, QImage::Format_ARGB32);
    imagem.fill(Qt::white);
    render(&imagem);
    resize(antes);
    return imagem;
}

void TDesenhoEstrada::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    const QFontMetrics fm(font());
    if (FTrechos.empty()) {
        p.setPen(Qt::darkGray);
        p.drawText(rect(), Qt::AlignCenter,
                   QStringLiteral("Sem trechos: digite-os, importe um CSV ou use o perfil."));
        return;
    }
    const TEscalaEstrada e = Escala(FTrechos);
    const double esquerda = 14, direita = width() - 14;
    auto x = [&](double pos) {
        return esquerda + (pos - e.Inicio) / (e.Fim - e.Inicio) * (direita - esquerda);
    };
    const int h = fm.height();
    const double yEstrada = 2.2 * h + 14;
    const double yEixo = height() - 2 * h - 12;

    // Trechos: faixa da estrada, limites, nome acima e declividade abaixo.
    const char sep = SeparadorDecimal();
    const QString ud = UnidadeDecl(FUnidades);
    for (std::size_t i = 0; i < FTrechos.size(); ++i) {
        const TTrecho& t = FTrechos[i];
        // Um trecho sem espaçamento que atenda, sem desaguadouros, fica como o que falhou.
        const bool falhou = i < FResultados.size() && (!FResultados[i].Resultado.Ok ||
                                                       FResultados[i].Resultado.NenhumEspacamento);
        const QRectF faixa(QPointF(x(t.Inicio), yEstrada - 5),
                           QPointF(x(t.Inicio + t.Comprimento), yEstrada + 5));
        p.fillRect(faixa, falhou ? QColor(220, 120, 110)
                                 : (i % 2 ? QColor(150, 150, 150) : QColor(185, 185, 185)));
        p.setPen(QPen(Qt::black, 1));
        for (const double limite : {faixa.left(), faixa.right()})
            p.drawLine(QPointF(limite, yEstrada - 14), QPointF(limite, yEstrada + 14));
        const QString nome = QString::fromStdString(t.Nome);
        const QString decl = Declividade(t.Declividade, FUnidades, sep) + ' ' + ud;
        // Só o que cabe no trecho: com muitos trechos curtos os textos se atropelariam.
        p.setPen(Qt::black);
        if (fm.horizontalAdvance(nome) < faixa.width() - 4)
            p.drawText(QRectF(faixa.left(), yEstrada - 14 - h, faixa.width(), h), Qt::AlignCenter,
                       nome);
        p.setPen(QColor(60, 60, 60));
        if (fm.horizontalAdvance(decl) < faixa.width() - 4)
            p.drawText(QRectF(faixa.left(), yEstrada + 14, faixa.width(), h), Qt::AlignCenter,
                       decl);
    }

    // Desaguadouros: triângulos azuis sobre a estrada.
    p.setPen(QPen(QColor(0, 60, 160), 1));
    p.setBrush(QColor(40, 110, 220));
    int total = 0;
    for (const TResultadoTrecho& r : FResultados)
        for (const double pos : r.Posicoes) {
            const double px = x(pos);
            QPainterPath seta;
            seta.moveTo(px, yEstrada + 1);
            seta.lineTo(px - 4.5, yEstrada - 9);
            seta.lineTo(px + 4.5, yEstrada - 9);
            seta.closeSubpath();
            p.drawPath(seta);
            ++total;
        }
    p.setBrush(Qt::NoBrush);
    if (total > 0) {
        p.setPen(QColor(0, 60, 160));
        p.drawText(QRectF(0, 2, width() - 4, h), Qt::AlignRight,
                   QStringLiteral("▼ %1 desaguadouros").arg(total));
    }

    // Eixo das posições.
    p.setPen(Qt::black);
    p.drawLine(QPointF(esquerda, yEixo), QPointF(direita, yEixo));
    for (const double m : e.Marcas) {
        const double px = x(m);
        p.drawLine(QPointF(px, yEixo), QPointF(px, yEixo + 4));
        const QString r = RotuloMarca(m, e.Km);
        const double w = fm.horizontalAdvance(r);
        p.drawText(QRectF(std::clamp(px - w / 2, 0.0, width() - w), yEixo + 5, w + 1, h),
                   Qt::AlignCenter, r);
    }
    p.drawText(QRectF(0, yEixo + 5 + h, width(), h), Qt::AlignCenter, TituloEixo());
}

// --- Página ------------------------------------------------------------------------------

TPaginaTrechos::TPaginaTrechos(TAmbienteEstudos ambiente, QWidget* pai)
    : QWidget(pai), Linhas(LinhasPadrao()), FAmb(std::move(ambiente)),
      FLote(new TExecucaoLote(this)),
      FModelo(new TModeloTrechos(*FAmb.Projeto, *FAmb.Unidades, this)),
      FResultado(new TModeloResultadoTrechos(*FAmb.Unidades, this)) {
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
    btnAcrescentarTrecho = Botao("&Acrescentar", "btnAcrescentarTrecho");
    btnRemoverTrecho = Botao("&Remover", "btnRemoverTrecho");
    btnImportarTrechos = Botao("Importar &CSV...", "btnImportarTrechos");
    btnImportarTrechos->setToolTip(
        QStringLiteral("CSV com o cabeçalho nome,inicio_m,comprimento_m,declividade "
                       "(ponto decimal; ou ';' e vírgula decimal). Declividade em m/m, "
                       "positiva onde a estrada desce no sentido do estaqueamento; trechos "
                       "encostados, sem intervalos. Ctrl+Z desfaz a importação."));
    btnPerfil = Botao("Do &perfil...", "btnPerfil");
    btnPerfil->setToolTip(
        QStringLiteral("CSV do perfil longitudinal levantado: posicao_m,cota_m (ponto decimal; "
                       "ou ';' e vírgula decimal). Rampas cujas declividades diferem menos que "
                       "a tolerância viram um trecho só, calculado com a declividade da mais "
                       "íngreme; a média fica ao lado."));
    eTolerancia = new QLineEdit;
    eTolerancia->setObjectName(QStringLiteral("eTolerancia"));
    eTolerancia->setMaximumWidth(70);
    eTolerancia->setAlignment(Qt::AlignRight);
    lblTolerancia = Rotulo("", "lblTolerancia");

    auto* edicao = new QGridLayout;
    edicao->addWidget(btnAcrescentarTrecho, 0, 0);
    edicao->addWidget(btnRemoverTrecho, 0, 1);
    edicao->addWidget(btnImportarTrechos, 0, 2);
    edicao->addWidget(btnPerfil, 1, 0);
    auto* tol = new QHBoxLayout;
    auto* rTol = Rotulo("&Tolerância");
    rTol->setBuddy(eTolerancia);
    rTol->setToolTip(btnPerfil->toolTip());
    tol->addWidget(rTol);
    tol->addWidget(eTolerancia);
    tol->addWidget(lblTolerancia);
    tol->addStretch();
    edicao->addLayout(tol, 1, 1, 1, 2);
    auto* gTrechos = Grupo(" Trechos da estrada ", "gbTrechos");
    auto* ht = new QVBoxLayout(gTrechos);
    ht->setContentsMargins(4, 4, 4, 4);
    ht->addWidget(tbTrechos, 1);
    ht->addLayout(edicao);

    tbResultadoTrechos = new TTabelaResultados("tbResultadoTrechos");
    tbResultadoTrechos->setModel(FResultado);
    auto* gResultado = Grupo(" Desaguadouros por trecho ", "gbResultadoTrechos");
    auto* hr = new QHBoxLayout(gResultado);
    hr->setContentsMargins(4, 4, 4, 4);
    hr->addWidget(tbResultadoTrechos);

    auto* divisor = new QSplitter(Qt::Horizontal);
    divisor->addWidget(gTrechos);
    divisor->addWidget(gResultado);
    divisor->setStretchFactor(0, 2);
    divisor->setStretchFactor(1, 3);

    btnCalcularTrechos = Botao("&Calcular", "btnCalcularTrechos");
    btnCancelarTrechos = Botao("Ca&ncelar", "btnCancelarTrechos");
    pbTrechos = new QProgressBar;
    pbTrechos->setObjectName(QStringLiteral("pbTrechos"));
    pbTrechos->setRange(0, 1);
    pbTrechos->setValue(0);
    lblSituacaoTrechos = Rotulo("", "lblSituacaoTrechos");
    auto* calc = new QHBoxLayout;
    calc->addWidget(btnCalcularTrechos);
    calc->addWidget(btnCancelarTrechos);
    calc->addWidget(pbTrechos, 1);
    calc->addWidget(lblSituacaoTrechos, 2);

    DesenhoEstrada = new TDesenhoEstrada(*FAmb.Unidades);

    btnCopiarTrechos = Botao("C&opiar", "btnCopiarTrechos");
    btnExportarTrechos = Botao("&Exportar desaguadouros...", "btnExportarTrechos");
    btnImprimirTrechos = Botao("&Imprimir...", "btnImprimirTrechos");
    btnVoltarTrechos = Botao("&Voltar", "btnVoltarTrechos");
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    for (QPushButton* b :
         {btnCopiarTrechos, btnExportarTrechos, btnImprimirTrechos, btnVoltarTrechos})
        botoes->addWidget(b);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 4, 6, 4);
    v->addWidget(divisor, 1);
    v->addLayout(calc);
    v->addWidget(DesenhoEstrada);
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
    connect(btnCalcularTrechos, &QPushButton::clicked, this, proteger([this] { Calcular(); }));
    connect(btnCancelarTrechos, &QPushButton::clicked, this, &TPaginaTrechos::Cancelar);
    connect(btnCopiarTrechos, &QPushButton::clicked, tbResultadoTrechos,
            &TTabelaResultados::Copiar);
    connect(btnExportarTrechos, &QPushButton::clicked, this, proteger([this] {
                QString nome = QFileDialog::getSaveFileName(
                    this, QStringLiteral("Exportar os desaguadouros"),
                    QStringLiteral("desaguadouros.csv"), QStringLiteral("Planilha CSV (*.csv)"));
                if (nome.isEmpty()) return;
                if (!nome.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) nome += ".csv";
                ExportarCsv(nome);
            }));
    connect(btnImprimirTrechos, &QPushButton::clicked, this, [this] {
        ImprimirHtml(this, FAmb.Impressora(), QStringLiteral("Imprimir os desaguadouros"),
                     HtmlImpressao(), DesenhoEstrada->Imagem(QSize(1000, 170)));
    });
    connect(btnVoltarTrechos, &QPushButton::clicked, this, [this] { FAmb.Voltar(); });
    connect(FLote, &TExecucaoLote::Andamento, this, [this](int feitos, int total) {
        pbTrechos->setRange(0, total);
        pbTrechos->setValue(std::max(pbTrechos->value(), feitos));
    });
    Atualizar();
    Recarregar();
    // F1 nestas páginas abre a ajuda dos estudos.
    Ajuda::DefinirContexto(this, CONTEXTO_ESTUDOS);
}

TPaginaTrechos::~TPaginaTrechos() = default;

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
    FResultado->Definir(FResultado->Resultados());
    DesenhoEstrada->update();
}

void TPaginaTrechos::Recarregar() {
    FAntesDaImportacao.reset();
    FLote->Abandonar();
    FModelo->Recarregar();
    FResultado->Definir({});
    lblSituacaoTrechos->clear();
    pbTrechos->setRange(0, 1);
    pbTrechos->setValue(0);
    DesenhoEstrada->Definir(FModelo->Trechos(), {});
    Habilitar();
}

void TPaginaTrechos::Alterados() {
    // Depois de outra mudança, desfazer a importação levaria essa junto.
    FAntesDaImportacao.reset();
    // Resultados de outros trechos não podem ficar na tela.
    FResultado->Definir({});
    lblSituacaoTrechos->clear();
    DesenhoEstrada->Definir(FModelo->Trechos(), {});
    FAmb.MarcarAlterado();
    Habilitar();
}

bool TPaginaTrechos::Substituir(std::vector<TTrecho> trechos, const QString& origem) {
    std::vector<TTrecho>& atuais = FModelo->Trechos();
    if (!atuais.empty() &&
        !Confirmar(QStringLiteral("Substituir os %1 trechos da tabela pelos %2 %3? Ctrl+Z "
                                  "desfaz a substituição.")
                       .arg(atuais.size())
                       .arg(trechos.size())
                       .arg(origem)))
        return false;
    std::vector<TTrecho> antes = std::exchange(atuais, std::move(trechos));
    FModelo->Recarregar();
    Alterados();
    FAntesDaImportacao = std::move(antes);
    return true;
}

void TPaginaTrechos::Desfazer() {
    if (!FAntesDaImportacao || Calculando()) return;
    std::vector<TTrecho> antes = std::move(*FAntesDaImportacao);
    FModelo->Trechos() = std::move(antes);
    FModelo->Recarregar();
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
    if (!Substituir(std::move(trechos), QStringLiteral("de %1").arg(nome))) return;
    lblSituacaoTrechos->setText(
        QStringLiteral("%1 trechos importados.").arg(FModelo->Trechos().size()));
}

void TPaginaTrechos::DerivarDoPerfil(const QString& caminho) {
    const std::string texto = eTolerancia->text().trimmed().toStdString();
    const auto tol = TentarTextoParaReal(texto, SeparadorDecimal());
    const std::string unidade = FAmb.Unidades->UnidadeDeclividade;
    if (!tol || !std::isfinite(*tol) || *tol < 0) {
        eTolerancia->setFocus();
        throw EMorvendo("\"" + texto + "\" não serve como \"Tolerância\" (" + unidade +
                        "): a diferença de declividade que une rampas num trecho deve ser um "
                        "número maior ou igual a zero.");
    }
    std::istringstream entrada(LerArquivoTexto(caminho));
    std::vector<TTrecho> trechos;
    try {
        trechos = TrechosDoPerfil(LerPerfilCsv(entrada), *tol / FAmb.Unidades->FatorDeclividade);
    } catch (const EMorvendo& e) {
        throw EMorvendo(QFileInfo(caminho).fileName().toStdString() + ": " + e.what());
    }
    if (trechos.empty()) throw EMorvendo("O perfil não forma nenhum trecho de 1 m ou mais.");
    if (!Substituir(std::move(trechos),
                    QStringLiteral("do perfil %1").arg(QFileInfo(caminho).fileName())))
        return;
    lblSituacaoTrechos->setText(
        QStringLiteral("%1 trechos tirados do perfil.").arg(FModelo->Trechos().size()));
}

bool TPaginaTrechos::Calculando() const {
    return FLote->Executando();
}

void TPaginaTrechos::Calcular() {
    if (Calculando()) return;
    if (FModelo->Trechos().empty())
        throw EMorvendo("Não há trechos: acrescente-os, importe um CSV ou use o perfil "
                        "longitudinal.");
    TArquivoIni projeto = FAmb.Instantaneo();
    std::vector<TTrecho> trechos = FModelo->Trechos();
    FResultado->Definir({});
    DesenhoEstrada->Definir(trechos, {});
    pbTrechos->setRange(0, int(trechos.size()));
    pbTrechos->setValue(0);
    lblSituacaoTrechos->setText(QStringLiteral("Calculando %1 trechos...").arg(trechos.size()));
    auto saida = std::make_shared<std::vector<TResultadoTrecho>>();
    auto relogio = std::make_shared<QElapsedTimer>();
    relogio->start();
    FLote->Iniciar(
        [projeto = std::move(projeto), trechos, saida,
         linhas = Linhas](IAndamentoLote& a, const TCancelamentoLote& c) {
            *saida = ExecutarTrechos(projeto, trechos, linhas, &a, &c);
        },
        [this, saida, relogio, trechos](bool cancelado) {
            FResultado->Definir(*saida);
            DesenhoEstrada->Definir(trechos, std::move(*saida));
            std::size_t ok = 0, desag = 0, semEspacamento = 0;
            for (const TResultadoTrecho& r : FResultado->Resultados()) {
                ok += r.Resultado.Ok;
                semEspacamento += r.Resultado.Ok && r.Resultado.NenhumEspacamento;
                desag += r.Posicoes.size();
            }
            const std::size_t n = FResultado->Resultados().size();
            if (cancelado)
                lblSituacaoTrechos->setText(
                    QStringLiteral("Cálculo cancelado: %1 de %2 trechos calculados.")
                        .arg(ok)
                        .arg(n));
            else
                lblSituacaoTrechos->setText(
                    QStringLiteral("%1 desaguadouros em %2 trechos%3%4 (%5 s).")
                        .arg(desag)
                        .arg(n)
                        .arg(ok < n ? QStringLiteral("; %1 trechos sem resultado").arg(n - ok)
                                    : QString())
                        .arg(semEspacamento
                                 ? QStringLiteral("; %1 trechos sem espaçamento que atenda")
                                       .arg(semEspacamento)
                                 : QString())
                        .arg(FormatarCasas(relogio->elapsed() / 1000.0, 1)));
            Habilitar();
        });
    Habilitar();
}

void TPaginaTrechos::Cancelar() {
    FLote->Cancelar();
}

void TPaginaTrechos::Habilitar() {
    const bool calculando = Calculando();
    const bool ha = FResultado->rowCount() > 0;
    btnCalcularTrechos->setEnabled(!calculando);
    btnCancelarTrechos->setEnabled(calculando);
    for (QWidget* w :
         std::initializer_list<QWidget*>{tbTrechos, btnAcrescentarTrecho, btnRemoverTrecho,
                                         btnImportarTrechos, btnPerfil, eTolerancia})
        w->setEnabled(!calculando);
    for (QPushButton* b : {btnCopiarTrechos, btnExportarTrechos, btnImprimirTrechos})
        b->setEnabled(ha && !calculando);
}

const std::vector<TResultadoTrecho>& TPaginaTrechos::Resultados() const {
    return FResultado->Resultados();
}

void TPaginaTrechos::ExportarCsv(const QString& caminho) {
    const TModeloDesaguadouros m(FResultado->Resultados());
    GravarCsv(caminho, CsvDaTabela(m));
}

QString TPaginaTrechos::HtmlImpressao() const {
    QString h = QStringLiteral("<html><body><h2>Desaguadouros ao longo da estrada</h2>");
    const QString nome = QString::fromStdString(FAmb.NomeProjeto());
    h += QStringLiteral("<p>Projeto: <b>%1</b><br>%2</p>")
             .arg(Html(nome.isEmpty() ? QStringLiteral("(sem nome)") : nome),
                  Html(lblSituacaoTrechos->text()));
    h += QStringLiteral("<p><img src=\"figura:grafico\" width=\"620\"></p>");
    h += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>");
    const TModeloResultadoTrechos& m = *FResultado;
    for (int c = 0; c < m.columnCount(); ++c)
        h += QStringLiteral("<th>%1</th>").arg(Html(m.Titulo(c)));
    h += QStringLiteral("</tr>");
    const char sep = SeparadorDecimal();
    for (int l = 0; l < m.rowCount(); ++l) {
        h += QStringLiteral("<tr>");
        const int ultima = m.Falhou(l) ? m.ColunaMensagem() : m.columnCount() - 1;
        for (int c = 0; c <= ultima; ++c) {
            const bool mensagem = m.Falhou(l) && c == ultima;
            h += QStringLiteral("<td%1>%2</td>")
                     .arg(mensagem ? QStringLiteral(" colspan=\"%1\"").arg(m.columnCount() - c)
                                   : (c == 0 ? QString() : QStringLiteral(" align=\"right\"")),
                          Html(m.Texto(l, c, sep, false)));
        }
        h += QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table></body></html>");
}
