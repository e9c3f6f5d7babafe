#pragma once
// The user's answers to the file dialogs, for tests: installed while it exists, it answers
// each open or save dialog with the next path queued (an empty path or an empty queue
// cancels), counts the dialogs and keeps the filters they were shown with. A dialog that
// opens several files takes one answer holding their paths separated by line breaks.

#include "cuiFileDialogs.h"

#include <QStringList>

class ScriptedDialogs : public cuiFileDialogs {
  public:
    ScriptedDialogs() { install(this); }
    ~ScriptedDialogs() override { install(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    QStringList answers; // taken in order
    QStringList filters; // of every dialog shown
    int opens = 0;
    int saves = 0;

    QString openFile(QWidget*, const QString&, const QString& filter, const QString&) override {
        ++opens;
        return next(filter);
    }
    QStringList openFiles(QWidget*, const QString&, const QString& filter,
                          const QString&) override {
        ++opens;
        return next(filter).split(u'\n', Qt::SkipEmptyParts);
    }
    QString saveFile(QWidget*, const QString&, const QString& filter, const QString&,
                     const QString&) override {
        ++saves;
        return next(filter);
    }

  private:
    QString next(const QString& filter) {
        filters << filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};
