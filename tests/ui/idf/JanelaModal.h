#pragma once
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Roda a ação na próxima janela modal do tipo T que abrir (verifica a cada 10 ms): o teste
// segue enquanto exec() espera.
template <class T> void QuandoAbrir(std::function<void(T&)> acao) {
    auto* relogio = new QTimer;
    QObject::connect(relogio, &QTimer::timeout, [=] {
        auto* j = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!j) return;
        relogio->stop();
        relogio->deleteLater();
        acao(*j);
    });
    relogio->start(10);
}
