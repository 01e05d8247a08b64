#include "idf/ui/DialogoSobreConsulta.h"

#include <QLabel>
#include <QScreen>

TDialogoSobreConsulta::TDialogoSobreConsulta(const TAmbienteConsulta& ambiente, QWidget* pai)
    : QDialog(pai) {
    setObjectName("DialogoSobreConsulta");
    setWindowTitle(QStringLiteral("Sobre"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(559, 340);

    imgSplash = new QLabel(this);
    imgSplash->setObjectName("imgSplash");
    imgSplash->setGeometry(0, 0, 559, 340);
    imgSplash->setAlignment(Qt::AlignCenter);
    // O clique na figura fecha a caixa como o clique na janela.
    imgSplash->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPixmap figura(ambiente.Arquivo(QStringLiteral("FiguraSobreConsulta.png")));
    if (!figura.isNull())
        imgSplash->setPixmap(figura);
    else
        imgSplash->setText(QStringLiteral("Morvendo\nConsulta da equação de chuva: parâmetros da "
                                          "equação de intensidade, duração e frequência da "
                                          "precipitação"));

    if (const QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());
}

void TDialogoSobreConsulta::mousePressEvent(QMouseEvent*) {
    accept();
}

void TDialogoSobreConsulta::keyPressEvent(QKeyEvent*) {
    accept();
}
