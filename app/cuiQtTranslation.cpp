#include "cuiQtTranslation.h"

#include "cmcGTex.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace {
std::unique_ptr<QTranslator>& installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}
} // namespace

bool cuiQtTranslation::applyFromMainTable() {
    cmcGTex& table = cmcGTex::mainTable();
    const QString key = QStringLiteral("GI_Sys_QtTranslation");
    return apply(table.hasKey(key) ? table.getText(key).trimmed() : QString());
}

bool cuiQtTranslation::apply(const QString& name) {
    std::unique_ptr<QTranslator>& current = installed();
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    if (name.isEmpty() || !QCoreApplication::instance()) return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return false;
    QCoreApplication::installTranslator(translator.get());
    current = std::move(translator);
    return true;
}
