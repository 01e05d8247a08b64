#pragma once
#include <QList>
#include <QMainWindow>
#include <QString>

class QAction;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QUrl;
class QWidget;

struct TResultadoPesquisa {
    QString Pagina; // nome do arquivo
    QString Titulo;
    int Ocorrencias = 0;
    int Relevancia = 0; // as ocorrências, com peso maior no título
};

// Janela de ajuda: conteúdo em árvore, índice de palavras-chave, pesquisa no texto das
// páginas, voltar e avançar. As páginas ficam na pasta dada (Ajuda/, ao lado do programa).
class TJanelaAjuda : public QMainWindow {
    Q_OBJECT
public:
    explicit TJanelaAjuda(const QString& pasta, QWidget* parent = nullptr);

    // Página do contexto; um número desconhecido mostra o conteúdo e devolve falso.
    bool MostrarContexto(int contexto);
    void MostrarConteudo();
    // Índice com a palavra-chave mais próxima do texto já selecionada.
    void MostrarIndice(const QString& chave = {});
    void MostrarPesquisa(const QString& texto = {});
    // "pagina.html" ou "pagina.html#ancora"; falso quando a página não existe.
    bool MostrarDestino(const QString& destino);

    // Páginas que contêm todas as palavras do texto (sem distinguir acentos nem maiúsculas),
    // da que mais as cita à que menos cita.
    QList<TResultadoPesquisa> Pesquisar(const QString& texto) const;

    QString Pasta() const { return pasta; }
    QString PaginaAtual() const;
    QString TituloAtual() const;
    QTextBrowser* Navegador() const { return navegador; }

private:
    struct TPagina {
        QString Arquivo;
        QString Titulo;
        QString Texto; // texto sem acentos, em minúsculas
    };

    void MontarJanela();
    void MontarConteudo();
    void MontarIndice();
    void CarregarPaginas();
    void PaginaMudou(const QUrl& url);
    void IndiceDigitado(const QString& texto);
    void AbrirItemIndice();
    void ExecutarPesquisa();
    void AbrirResultado();
    void DestacarPalavras(const QStringList& palavras);
    void Imprimir();
    void MostrarFaltaDeArquivos();

    QString pasta;
    QList<TPagina> paginas;
    QStringList palavrasDestacadas;
    QTabWidget* abas = nullptr;
    QTreeWidget* arvore = nullptr;
    QLineEdit* eIndice = nullptr;
    QListWidget* lstIndice = nullptr;
    QLineEdit* ePesquisa = nullptr;
    QListWidget* lstPesquisa = nullptr;
    QTextBrowser* navegador = nullptr;
    QAction* aVoltar = nullptr;
    QAction* aAvancar = nullptr;
};

// Serviço de ajuda do programa: uma única janela, criada no primeiro uso.
namespace Ajuda {
// Pasta das páginas; sem definição, "Ajuda" ao lado do programa. Os testes usam outra.
void DefinirPasta(const QString& pasta);
QString Pasta();
TJanelaAjuda* Janela();

// Abre a janela na página do contexto (o 0 e os desconhecidos levam ao conteúdo).
bool AbrirContexto(int contexto);
void AbrirConteudo();
void AbrirIndice(const QString& chave = {});

// Contexto de um controle: o seu ou o do ancestral mais próximo que tenha um (0 = nenhum).
// Marcar uma janela com 0 faz o F1 nela abrir o conteúdo.
void DefinirContexto(QWidget* controle, int contexto);
int ContextoDe(const QWidget* controle);
// F1 abre o contexto do controle com o foco. Numa janela sem nenhum contexto marcado a
// tecla segue para a própria janela, que pode tratá-la.
void InstalarTeclaF1();
} // namespace Ajuda
