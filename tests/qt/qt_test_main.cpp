// The Qt suites run GoogleTest inside one QApplication (offscreen platform), in Brazilian
// Portuguese with Qt's own texts translated, as the client does.
#include <gtest/gtest.h>

#include <QApplication>

#include "qt/host/language.h"
#include "qt/host/module_library.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // The clients under test load the module just built.
    if (qEnvironmentVariableIsEmpty(lembrete::ModuleLibrary::kFolderVariable)) {
        qputenv(lembrete::ModuleLibrary::kFolderVariable, LEMBRETE_MODULE_BUILD_DIR);
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("LembreteTestes"));
    QApplication::setApplicationName(QStringLiteral("lembrete-client-tests"));
    lembrete::usePortuguese(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
