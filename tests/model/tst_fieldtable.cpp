// The radio's field table (imcFieldTable): every entry lies inside a record of the list its
// label belongs to, names each label once, and refers to selection lists and lists that
// exist; the dispatcher serves a table label from the table.

#include "ListImages.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcListInfo.h"
#include "imcFieldTable.h"
#include "imcRadioFacts.h"

#include <QSet>
#include <QTest>

class tst_FieldTable : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL")); }
    void cleanupTestCase() { cmcFCache::instance().setTable(nullptr); }

    void entriesLieInTheirRecords() {
        QSet<int32_t> seen;
        QVERIFY(!imcFieldTable::all().empty());
        for (const imcField& f : imcFieldTable::all()) {
            const QString name = cmcCellNames::labelName(f.label);
            QVERIFY2(!seen.contains(f.label), qPrintable(name + " twice"));
            seen.insert(f.label);
            QCOMPARE(imcFieldTable::find(f.label), &f);
            QCOMPARE(cmcCellDispatch::listOfLabel(f.label), f.list);
            const cmcListLayout* layout = cmcListInfo::layout(f.list);
            QVERIFY2(layout, qPrintable(name));
            QVERIFY2(f.offset >= 0 && f.width >= 1 && f.offset + f.width <= layout->size,
                     qPrintable(name));
            if (f.format != imcField::Text)
                QVERIFY2(f.width == 1 || f.width == 2, qPrintable(name));
        }
    }

    void referencesExist() {
        for (const imcField& f : imcFieldTable::all()) {
            const QString name = cmcCellNames::labelName(f.label);
            if (f.format == imcField::Select) {
                QVERIFY2(f.selection.key, qPrintable(name));
                QVERIFY2(f.selection.get().count() > 0, qPrintable(name));
            }
            if (f.format == imcField::RowRef) {
                QVERIFY2(cmcListInfo::layout(f.refList), qPrintable(name));
                std::vector<int64_t> values;
                QStringList texts;
                QVERIFY2(cmcCellDispatch::global().rowChoices(f.refList, values, texts),
                         qPrintable(name));
            }
            if (f.format == imcField::Decimal || f.format == imcField::Timer)
                QVERIFY2(f.min <= f.max && f.max < (1 << (8 * f.width)), qPrintable(name));
        }
    }

    // Labels outside the table, and labels with rules of their own, are not in it.
    void specialFieldsStayCode() {
        for (int32_t label : std::initializer_list<int32_t>{
                 CL_ChL_Name, CL_ChL_FreqR, CL_ChL_FreqT, CL_AddrL_Network, CL_AddrL_Emergency,
                 CL_Ale_SelfId_Slot, CL_Ale_CallId_ChGroupNo, CL_None, -1,
                 cmcCellNames::LabelCount})
            QVERIFY(!imcFieldTable::find(label));
    }

    // A field from the table reads and writes the byte it names (a network's preamble).
    void tableFieldsWriteTheirBytes() {
        cmcEeprom image(ListImages::populated());
        cmcCellDispatch d(&image);
        const cmcListLayout& net = *cmcListInfo::layout(QxList::Network);
        QVERIFY(d.commit(CT_NetworkList, CL_NetL_Preamble, 0, QStringLiteral("7")));
        QCOMPARE(int(image.GetByte(net.base + imcFieldTable::find(CL_NetL_Preamble)->offset)), 7);
        QCOMPARE(d.text(CT_NetworkList, CL_NetL_Preamble, 0), QStringLiteral("7"));
    }
};

QTEST_MAIN(tst_FieldTable)
#include "tst_fieldtable.moc"
