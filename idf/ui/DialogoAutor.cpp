#include "idf/ui/DialogoAutor.h"
#include "idf/EstacoesUsuario.h"
#include "idf/VerificacaoIdf.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>

TDialogoAutor::TDialogoAutor(QWidget* pai) : QDialog(pai) {
    setObjectName("DialogoAutor");
    setWindowTitle(QStringLiteral("Autor"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(547, 214);

    Autor = new QLabel(this);
    Autor->setObjectName("Autor");
    Autor->setGeometry(10, 8, 527, 18);
    Livro = new QLabel(this);
    Livro->setObjectName("Livro");
    Livro->setGeometry(10, 30, 519, 39);
    QFont negrito = Livro->font();
    negrito.setBold(true);
    Livro->setFont(negrito);
    Pagina = new QLabel(this);
    Pagina->setObjectName("Pagina");
    Pagina->setGeometry(10, 72, 527, 35);
    Estacao = new QLabel(this);
    Estacao->setObjectName("Estacao");
    Estacao->setGeometry(10, 110, 527, 66);
    Estacao->setWordWrap(true);
    for (auto* r : {Autor, Livro, Pagina, Estacao}) {
        r->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        r->setTextInteractionFlags(Qt::TextSelectableByMouse);
        r->setTextFormat(Qt::PlainText);
    }
    Livro->setWordWrap(true);
    Pagina->setWordWrap(true);

    OK = new QPushButton(QStringLiteral("&Ok"), this);
    OK->setObjectName("OK");
    OK->setGeometry(236, 180, 75, 28);
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());
}

void TDialogoAutor::Limpar() {
    Autor->clear();
    Livro->clear();
    Pagina->clear();
    Estacao->clear();
}

void TDialogoAutor::Mostrar(const TReferencia& r) {
    Autor->setText(QString::fromStdString(r.Autores));
    Livro->setText(QString::fromStdString(r.Titulo));
    Pagina->setText(QString::fromStdString(r.Publicacao));
}

void TDialogoAutor::MostrarUsuario(const TInfoEstacaoIdf& e) {
    Autor->setText(QString::fromUtf8(AutorEstacaoUsuario));
    Livro->setText(QString::fromStdString(e.Fonte));
    Pagina->clear();
}

void TDialogoAutor::MostrarEstacao(const TInfoEstacaoIdf& e,
                                   const std::vector<double>& duracoesProjeto) {
    QString texto = QStringLiteral("Estação: %1 (%2)%3. Verificação: %4. Durações: %5.")
                        .arg(QString::fromStdString(e.Estacao), QString::fromStdString(e.Uf),
                             e.DoUsuario ? QString::fromUtf8(MarcaEstacaoUsuario) : QString(),
                             QString::fromStdString(e.DoUsuario ? TextoVerificacaoUsuario
                                                                : TextoVerificacao(e.Verificacao)),
                             QString::fromStdString(TextoFaixaDuracoes(e)));
    if (const auto erros = TextoErrosAjuste(e); !erros.empty())
        texto += QStringLiteral(" Erro do ajuste à tabela: %1.").arg(QString::fromStdString(erros));
    if (const auto aviso = AvisoFaixaDuracoes(e, duracoesProjeto); !aviso.empty())
        texto += QStringLiteral("\n") + QString::fromStdString(aviso);
    Estacao->setText(texto);
}
