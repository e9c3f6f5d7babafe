#include "cuiFlector.h"

void cuiFlector::clearResults() {
    display.clear();
    caret = 0;
    selLength = 0;
    style = StNormal;
    editStatus = EsNone;
    offersList = false;
}

void cuiFlector::startEdit(const QString& text, int caretPos, int selection) {
    display = text;
    caret = caretPos;
    selLength = selection;
    editStatus = EsEdit;
}

void cuiFlector::startEditWithKey() {
    startEdit(QString(QChar(key)), 1, 0);
}

void cuiFlector::openPopup(const QString& k, int kind, int64_t current) {
    popupKey = k;
    popupKind = kind;
    popupValue = current;
    editStatus = EsPopup;
}
