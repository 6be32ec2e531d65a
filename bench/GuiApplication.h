#pragma once
// The one application object the painting benchmarks need, offscreen unless a
// platform is chosen.

#include <QByteArray>
#include <QGuiApplication>
#include <QtGlobal>

namespace orma::bench {

inline void ensureGuiApplication() {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    static int argc = 1;
    static char name[] = "orma_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

}  // namespace orma::bench
