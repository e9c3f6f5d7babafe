// Sorting, compacting and merging the lists on an image whose lists point at each other:
// whatever a reference named before, it names by content afterwards; the validity bitmaps
// agree with the records; one undo step gives the bytes back.

#include "CellsTestKit.h"
#include "ListImages.h"
#include "cmcCellDispatch.h"
#include "cmcClipCh.h"
#include "cmcCsvList.h"
#include "cmcDocument.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcListInfo.h"
#include "datCh.h"
#include "imcCsvLists.h"
#include "imcListTidy.h"
#include "imcRadioFacts.h"
#include "imcSettingCells.h"

#include <QtTest>
#include <algorithm>

using CellsTestKit::hex;

namespace {

QString record(const cmcEeprom& image, int32_t list, int32_t row, int bytes = 0) {
    const cmcListLayout* l = cmcListInfo::layout(list);
    return hex(image, l->base + row * l->size, bytes ? bytes : l->size);
}

int32_t field(const cmcEeprom& image, int32_t list, int32_t row, int offset, bool wide) {
    const cmcListLayout* l = cmcListInfo::layout(list);
    const int32_t a = l->base + row * l->size + offset;
    return wide ? image.GetByte(a) | image.GetByte(a + 1) << 8 : image.GetByte(a);
}

// The fields that name a row of another list, as the record layouts give them.
struct Ref {
    int32_t holder;
    int offset;
    bool wide;
    int32_t target;
};
const Ref kRefs[] = {
    {QxList::Address, QxRec::AdChannel, true, QxList::Channel},
    {QxList::Address, QxRec::AdNetwork, false, QxList::Network},
    {QxList::Address, QxRec::AdMessage, false, QxList::Message},
    {QxList::PhoneLink, QxRec::PlChannel, true, QxList::Channel},
    {QxList::PhoneLink, QxRec::PlNetwork, false, QxList::Network},
    {QxList::Profile, QxRec::PrNetwork, false, QxList::Network},
    {QxList::AleSelfId, QxRec::AleSelfNetId, false, QxList::AleNetId},
};

// A row told apart by its own fields: its record without the fields that name other rows
// (which follow those rows) and without a network's channel bits.
QString ownFields(const cmcEeprom& image, int32_t list, int32_t row) {
    datCh rec;
    rec.load(image, list, row);
    for (const Ref& r : kRefs)
        if (r.holder == list) {
            rec.bytes[r.offset] = 0;
            if (r.wide) rec.bytes[r.offset + 1] = 0;
        }
    if (list == QxList::Network)
        std::fill(rec.bytes + QxRec::NetChBits, rec.bytes + QxRec::NetChBits + QxList::ChBitsSize,
                  0);
    return hex(rec.bytes, rec.size);
}

// What every reference and membership names, by content, in no particular order. With
// channelsBySameFields a channel counts by its frequencies and mode alone (a merged
// repeat is the same channel then).
QStringList resolved(const cmcEeprom& image, bool channelsBySameFields = false) {
    const auto content = [&](int32_t list, int32_t row) {
        const cmcListLayout* l = cmcListInfo::layout(list);
        if (row < 0 || row >= l->rows) return QStringLiteral("none");
        if (list == QxList::Channel && channelsBySameFields) return record(image, list, row, 9);
        return ownFields(image, list, row);
    };
    QStringList out;
    for (const Ref& r : kRefs) {
        const cmcListLayout* l = cmcListInfo::layout(r.holder);
        for (int32_t row = 0; row < l->rows; ++row)
            if (imcListTidy::inUse(image, r.holder, row))
                out << QStringLiteral("%1/%2 %3 -> %4")
                           .arg(r.holder)
                           .arg(r.offset)
                           .arg(ownFields(image, r.holder, row),
                                content(r.target, field(image, r.holder, row, r.offset, r.wide)));
    }
    const cmcListLayout* net = cmcListInfo::layout(QxList::Network);
    for (int32_t n = 0; n < QxList::NetworkCount; ++n) {
        if (!imcListTidy::inUse(image, QxList::Network, n)) continue;
        const int32_t bits = net->base + n * net->size + QxList::NetworkChBitsOffset;
        for (int32_t ch = 0; ch < QxList::ChannelRows; ++ch)
            if (datCh::channelValid(image, ch) && (image.GetByte(bits + ch / 8) >> (ch % 8) & 1))
                out << QStringLiteral("net %1 has %2")
                           .arg(record(image, QxList::Network, n, QxRec::NameLen),
                                content(QxList::Channel, ch));
    }
    for (int32_t g = 0; g < QxList::AleGroupCount; ++g) {
        const int32_t bits = QxList::AleGroupBase + g * QxList::AleGroupSize;
        for (int32_t ch = 0; ch < QxList::ChannelRows; ++ch)
            if (datCh::channelValid(image, ch) && (image.GetByte(bits + ch / 8) >> (ch % 8) & 1))
                out << QStringLiteral("group %1 has %2").arg(g).arg(content(QxList::Channel, ch));
    }
    const int32_t sounding = imcSettingCells::addressOf(CL_SetM_AleAutoSoundSelfId);
    out << QStringLiteral("sounding -> ") + content(QxList::AleSelfId, image.GetByte(sounding) - 1);
    out.sort();
    return out;
}

// Rows whose validity bit disagrees with their record.
QStringList badBitmaps(const cmcEeprom& image) {
    QStringList bad;
    for (const cmcListLayout& l : QxList::Layouts)
        for (int32_t row = 0; row < l.rows; ++row) {
            datCh rec;
            rec.load(image, l.list, row);
            if (datCh::invalidBit(image, l, row) == rec.valid)
                bad << QStringLiteral("list %1 row %2").arg(l.list).arg(row);
        }
    return bad;
}

QStringList names(const cmcEeprom& image, int32_t category, int32_t label, int32_t list) {
    cmcEeprom copy(image);
    cmcCellDispatch d(&copy);
    QStringList out;
    for (int32_t row = 0; row < cmcListInfo::layout(list)->rows; ++row)
        out << (imcListTidy::inUse(image, list, row) ? d.text(category, label, row)
                                                     : QStringLiteral("(unused)"));
    return out;
}

constexpr int32_t Repeat = 200; // a channel with the frequencies and mode of channel 3

// The lists' fixture with more crossings: a repeated channel that an address, a phone
// link, a network and an ALE channel group name, a repeated address identifier, and the
// sounding self address.
const cmcEeprom& crossed() {
    static const cmcEeprom image = [] {
        cmcEeprom img = ListImages::populated();
        cmcCellDispatch d(&img);
        cmcClipCh clip;
        clip.copy(img, QxList::Channel, 3, 1);
        clip.paste(img, QxList::Channel, Repeat, 1);
        ListImages::set(d, CT_ChannelList, CL_ChL_Name, Repeat, QStringLiteral("Pier again"));
        ListImages::set(d, CT_AddressList, CL_AddrL_Network, 8, QStringLiteral("3"));
        ListImages::set(d, CT_AddressList, CL_AddrL_Channel, 8, QString::number(Repeat + 1));
        ListImages::set(d, CT_PhoneLinkList, CL_PhoneLinkL_Channel, 10,
                        QString::number(Repeat + 1));
        ListImages::set(d, CT_NetworkChannels, CL_EnabledChBit_0 - 2, Repeat, QStringLiteral("ON"));
        d.setCurrentGroup(66);
        ListImages::set(d, CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, Repeat,
                        QStringLiteral("ON"));
        ListImages::set(d, CT_AddressList, CL_AddrL_Name, 33, QStringLiteral("Station again"));
        ListImages::set(d, CT_AddressList, CL_AddrL_Id, 33, QStringLiteral("100028"));
        ListImages::set(d, CT_Null, CL_SetM_AleAutoSoundSelfId, 0, QStringLiteral("7"));
        return img;
    }();
    return image;
}

std::vector<imcSortKey> keys(const char* list, const char* text) {
    std::vector<imcSortKey> k;
    QString error;
    if (!imcListTidy::parseKeys(*imcCsvLists::find(QString::fromLatin1(list)),
                                QString::fromLatin1(text), &k, &error))
        qWarning("%s", qPrintable(error));
    return k;
}

} // namespace

class tst_ListTidy : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL")); }

    void fixtureIsCrossed() {
        // The fixture holds what the tests below must keep: references of every kind.
        const QStringList r = resolved(crossed());
        for (const char* kind : {"28/26", "28/28", "28/37", "33/26", "33/25", "34/25", "36/16",
                                 "net ", "group ", "sounding -> 53"})
            QVERIFY2(std::any_of(r.begin(), r.end(),
                                 [&](const QString& s) { return s.startsWith(kind); }),
                     kind);
        QVERIFY(badBitmaps(crossed()).isEmpty());
    }

    void reorderKeepsEveryReference_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("columns"); // empty: compact
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("channels by name") << "channels"
                                          << "name" << 0 << 499;
        QTest::newRow("channels by frequency, name") << "channels"
                                                     << "rx_frequency:desc,name" << 0 << 499;
        QTest::newRow("channels by mode, a range") << "channels"
                                                   << "mode" << 10 << 60;
        QTest::newRow("compact channels") << "channels"
                                          << "" << 0 << 0;
        QTest::newRow("addresses by identifier") << "addresses"
                                                 << "address:desc" << 0 << 299;
        QTest::newRow("networks by name") << "networks"
                                          << "name:desc" << 0 << 9;
        QTest::newRow("compact networks") << "networks"
                                          << "" << 0 << 0;
        QTest::newRow("messages by text") << "messages"
                                          << "message:desc" << 0 << 9;
        QTest::newRow("compact messages") << "messages"
                                          << "" << 0 << 0;
        QTest::newRow("profiles by name") << "profiles"
                                          << "name:desc" << 0 << 19;
        QTest::newRow("ALE network addresses") << "ale-networks"
                                               << "address:desc" << 0 << 99;
        QTest::newRow("ALE self addresses") << "ale-self"
                                            << "address:desc" << 0 << 19;
    }
    void reorderKeepsEveryReference() {
        QFETCH(QString, list);
        QFETCH(QString, columns);
        QFETCH(int, first);
        QFETCH(int, last);
        const cmcCsvTable* table = imcCsvLists::find(list);
        QVERIFY(table);
        cmcDocument doc(QxRadio::ImageSize);
        doc.working() = crossed();
        doc.recordChange(QStringLiteral("start"));
        const QStringList before = resolved(doc.working());

        int32_t moved = 0;
        if (columns.isEmpty()) {
            moved = imcListTidy::compact(doc.working(), table->list);
        } else {
            std::vector<imcSortKey> k;
            QString error;
            QVERIFY2(imcListTidy::parseKeys(*table, columns, &k, &error), qPrintable(error));
            moved = imcListTidy::sort(doc.working(), *table, first, last, k);
        }
        QVERIFY(moved > 0);
        QCOMPARE(resolved(doc.working()), before);
        QCOMPARE(badBitmaps(doc.working()), QStringList());

        QVERIFY(doc.recordChange(QStringLiteral("Sort")));
        QVERIFY(doc.undo());
        QVERIFY(doc.working() == crossed());
    }

    void sortOrdersRowsInUseAndPutsTheOthersLast() {
        cmcEeprom image = crossed();
        imcListTidy::sort(image, *imcCsvLists::find(QStringLiteral("channels")), 0, 499,
                          keys("channels", "name"));
        const QStringList after = names(image, CT_ChannelList, CL_ChL_Name, QxList::Channel);
        const int used = int(after.size() - after.count(QStringLiteral("(unused)")));
        QCOMPARE(used, 41); // 40 and the repeat; row 21's channel has no name
        // Named rows in order (blanks at the ends count for nothing), then the one without a
        // name, then the rows not in use.
        QStringList named = after.mid(0, used - 1);
        for (QString& name : named)
            name = name.trimmed();
        QStringList sorted = named;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(named, sorted);
        QCOMPARE(after[used - 1], QString());
        QVERIFY(std::all_of(after.begin() + used, after.end(),
                            [](const QString& s) { return s == QLatin1String("(unused)"); }));

        // Descending frequencies, the name breaking ties (the repeat after channel 3).
        imcListTidy::sort(image, *imcCsvLists::find(QStringLiteral("channels")), 0, 499,
                          keys("channels", "rx_frequency:desc,name"));
        cmcCellDispatch d(&image);
        int64_t previous = INT64_MAX;
        QString previousName;
        for (int32_t row = 0; row < used; ++row) {
            int64_t hz = 0;
            QVERIFY(d.value(CT_ChannelList, CL_ChL_FreqR, row, &hz));
            const QString name = d.text(CT_ChannelList, CL_ChL_Name, row);
            QVERIFY2(hz < previous ||
                         (hz == previous && name.compare(previousName, Qt::CaseInsensitive) >= 0),
                     qPrintable(QStringLiteral("row %1").arg(row)));
            previous = hz;
            previousName = name;
        }
    }

    void sortOfARangeLeavesTheRestAlone() {
        cmcEeprom image = crossed();
        const cmcListLayout* l = cmcListInfo::layout(QxList::Channel);
        QVERIFY(imcListTidy::sort(image, *imcCsvLists::find(QStringLiteral("channels")), 30, 90,
                                  keys("channels", "name:desc")) > 0);
        for (int32_t row : {0, 3, 29, 91, 117, Repeat})
            QCOMPARE(record(image, QxList::Channel, row), record(crossed(), QxList::Channel, row));
        // The rows of the range are the rows that were there.
        QStringList was, is;
        for (int32_t row = 30; row <= 90; ++row) {
            was << record(crossed(), QxList::Channel, row);
            is << record(image, QxList::Channel, row);
        }
        was.sort();
        is.sort();
        QCOMPARE(is, was);
        Q_UNUSED(l);
    }

    void sortInOrderWritesNothing() {
        cmcEeprom image = crossed();
        imcListTidy::compact(image, QxList::Channel);
        const cmcEeprom compacted = image;
        QCOMPARE(imcListTidy::compact(image, QxList::Channel), 0);
        QVERIFY(image == compacted);
    }

    void keysAreNamedAsTheListsTextForm_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error"); // empty: taken
        QTest::newRow("one") << "channels"
                             << "name"
                             << "";
        QTest::newRow("two, directions") << "channels"
                                         << "rx_frequency:desc, mode:asc"
                                         << "";
        QTest::newRow("identifier") << "ale-individual"
                                    << "address"
                                    << "";
        QTest::newRow("unknown column") << "channels"
                                        << "colour"
                                        << "channels has no column 'colour' (rx_frequency, "
                                           "tx_frequency, mode, name)";
        QTest::newRow("the row number") << "addresses"
                                        << "row"
                                        << "addresses has no column 'row'";
        QTest::newRow("direction") << "channels"
                                   << "name:up"
                                   << "'up' is no direction (asc, desc)";
        QTest::newRow("nothing") << "channels"
                                 << ","
                                 << "no column to sort by";
    }
    void keysAreNamedAsTheListsTextForm() {
        QFETCH(QString, list);
        QFETCH(QString, text);
        QFETCH(QString, error);
        std::vector<imcSortKey> k;
        QString why;
        const bool ok = imcListTidy::parseKeys(*imcCsvLists::find(list), text, &k, &why);
        QCOMPARE(ok, error.isEmpty());
        QVERIFY2(error.isEmpty() ? why.isEmpty() : why.startsWith(error), qPrintable(why));
    }

    void duplicatesNameTheirRowsAndWhatPointsAtThem() {
        const std::vector<imcDuplicate> channels =
            imcListTidy::duplicates(crossed(), QxList::Channel);
        QCOMPARE(channels.size(), size_t(1));
        QCOMPARE(channels[0].first.row, 3);
        QCOMPARE(channels[0].repeats.size(), size_t(1));
        const imcDuplicateRow& repeat = channels[0].repeats[0];
        QCOMPARE(repeat.row, Repeat);
        const std::vector<imcRowUser> users{{QxList::Address, 8},
                                            {QxList::PhoneLink, 10},
                                            {QxList::Network, 2},
                                            {QxList::AleChannels, 66}};
        QVERIFY(repeat.users == users);

        const std::vector<imcDuplicate> addresses =
            imcListTidy::duplicates(crossed(), QxList::Address);
        QCOMPARE(addresses.size(), size_t(1));
        QCOMPARE(addresses[0].first.row, 4);
        QCOMPARE(addresses[0].repeats[0].row, 33);
        // Lists without repeats have none; rows not in use are never repeats of each other.
        QVERIFY(imcListTidy::duplicates(crossed(), QxList::Network).empty());
        QVERIFY(imcListTidy::duplicates(ListImages::erasedImage(), QxList::Channel).empty());
    }

    void mergeMovesWhatPointedAtTheRepeat() {
        cmcDocument doc(QxRadio::ImageSize);
        doc.working() = crossed();
        doc.recordChange(QStringLiteral("start"));
        const QStringList before = resolved(crossed(), true);
        QVERIFY(imcListTidy::merge(doc.working(), QxList::Channel, Repeat, 3));
        const cmcEeprom& image = doc.working();
        // By frequencies and mode every reference names what it named; the repeat's
        // memberships are the first row's now.
        QCOMPARE(resolved(image, true), before);
        QCOMPARE(field(image, QxList::Address, 8, QxRec::AdChannel, true), 3);
        QCOMPARE(field(image, QxList::PhoneLink, 10, QxRec::PlChannel, true), 3);
        QVERIFY(imcListTidy::usersOf(image, QxList::Channel, 3).size() >
                imcListTidy::usersOf(crossed(), QxList::Channel, 3).size());
        QVERIFY(imcListTidy::duplicates(image, QxList::Channel).empty());
        // The rows below moved up, the last row is blank.
        QCOMPARE(record(image, QxList::Channel, Repeat),
                 record(crossed(), QxList::Channel, Repeat + 1));
        QCOMPARE(record(image, QxList::Channel, 499).count(QStringLiteral("FF")), 29);
        QCOMPARE(badBitmaps(image), QStringList());
        QVERIFY(doc.recordChange(QStringLiteral("Merge")));
        QVERIFY(doc.undo());
        QVERIFY(doc.working() == crossed());
    }

    void removeLeavesWhatPointedAtTheRowWithout() {
        cmcEeprom image = crossed();
        QVERIFY(imcListTidy::remove(image, QxList::Channel, Repeat));
        QCOMPARE(field(image, QxList::Address, 8, QxRec::AdChannel, true), 0xFFFF);
        QCOMPARE(field(image, QxList::PhoneLink, 10, QxRec::PlChannel, true), 0xFFFF);
        QVERIFY(imcListTidy::usersOf(image, QxList::Channel, Repeat).empty() ||
                imcListTidy::usersOf(image, QxList::Channel, Repeat) ==
                    imcListTidy::usersOf(crossed(), QxList::Channel, Repeat + 1));
        QCOMPARE(badBitmaps(image), QStringList());
        QVERIFY(!imcListTidy::merge(image, QxList::Channel, 3, 3));
        QVERIFY(!imcListTidy::remove(image, QxList::Channel, 500));
    }
};

QTEST_GUILESS_MAIN(tst_ListTidy)
#include "tst_listtidy.moc"
