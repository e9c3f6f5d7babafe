#include "indSheetEnv.h"

#include "imcRepeaterSites.h"
#include "indEnviron.h"
#include "indMain.h"

indSheetEnv::indSheetEnv(indMain& controller, indEnviron& settings)
    : m_controller(controller), m_env(settings) {}

bool indSheetEnv::makerMode() const {
    return m_controller.makerMode();
}

int indSheetEnv::sheetFontScale() const {
    return m_env.fontSizePercentage;
}

void indSheetEnv::cellHelp(int32_t label) {
    m_controller.ShowCellHelp(label);
}

int indSheetEnv::repeaterRows(int site) const {
    return imcRepeaterSites::usedRows(m_controller.workingImage(), site);
}

int indSheetEnv::repeaterFirstRow(int site) const {
    return imcRepeaterSites::firstRow(m_controller.workingImage(), site);
}

int indSheetEnv::repeaterFreeRows(int site) const {
    return imcRepeaterSites::freeRows(m_controller.workingImage(), site);
}

bool indSheetEnv::readInt(const QString& path, const QString& name, int& value) {
    const int v = m_env.readInteger(path, name);
    if (v == -1) return false; // missing (the settings store's answer for "none")
    value = v;
    return true;
}

void indSheetEnv::writeInt(const QString& path, const QString& name, int value) {
    m_env.writeInteger(path, name, value);
}

void indSheetEnv::deleteKey(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const int cut = p.lastIndexOf(QLatin1Char('\\'));
    if (cut < 0)
        m_env.deleteKey(QString(), p);
    else
        m_env.deleteKey(p.left(cut), p.mid(cut + 1));
}
