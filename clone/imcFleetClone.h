#pragma once
// Several radios at once: one clone file written into every radio given, or every radio
// read, each over its own link by a clone driver of its own. The drivers are tick-driven
// on the one event loop, so the transfers run side by side without threads. A radio that
// fails does not stop the others; each radio keeps its own outcome (status, serial number
// from its information block, the image read or read back), and the caller hears once
// when every radio has ended.
//
// A write asks each radio who it is (the information exchange and its checks), writes the
// ranges, and with verification reads the memory back and compares the written ranges
// with what was sent: a difference fails the write with status 20 and names the first
// differing addresses.
//
// With per-radio values (a fleet sheet) each radio gets its own image: the document with the
// radio's row applied, the row found by the serial number the radio reports, then by its
// link. The radios wait for each other after identifying, so that nothing is written unless
// every radio that answered has its row (or the plain document is allowed for those without
// one) and no two radios claim the same row.

#include "cmcCloneDrv.h"
#include "cmcEeprom.h"
#include "cmcIcfFile.h"
#include "imcRadioIdentity.h"

class imcFleetSheet;

#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class imcFleetClone {
  public:
    // One radio's link.
    struct Link {
        bool tcp = false;
        int comPort = 1;
        QString serialSettings = QStringLiteral("38400,N,8,1");
        QString host;
        uint16_t tcpPort = 0;
        QString name; // how tables and progress lines name the link
    };

    enum Phase { Waiting, Identifying, Writing, Verifying, Reading, Done };

    // What became of one radio.
    struct Radio {
        Link link;
        Phase phase = Waiting;
        int32_t status = 0;
        bool partlyWritten = false;
        bool refused = false;
        QByteArray information; // the information block, once the radio answered
        // A read: the image read. A verified write: the memory read back.
        cmcEeprom image;
        bool hasImage = false;
        // A verified write: the first addresses where the radio holds other data.
        std::vector<int32_t> differences;
        int32_t doneBefore = 0; // data bytes of the phases already over
        // A write with per-radio values: the values the radio got ("-" for the plain
        // document); a radio left out (status LeftOut) says why in its note.
        QString applied;
        QString note;
    };

    // The status of a radio a write with per-radio values left alone: it has no row, or
    // another radio's refusal stopped the batch. Nothing was written into it.
    static constexpr int32_t LeftOut = 21;

    static constexpr int ReadStepTimeout = 1000;
    static constexpr int WriteStepTimeout = 5000;
    static constexpr int WriteAckTimeout = 5000;

    imcFleetClone();
    ~imcFleetClone();
    imcFleetClone(const imcFleetClone&) = delete;
    imcFleetClone& operator=(const imcFleetClone&) = delete;

    // Set-up; ignored while running.
    void setLinks(const QList<Link>& links);
    void setVerify(bool on) { m_verify = on; }
    bool verify() const { return m_verify; }
    // Information exchanges before a write (the command-line tool makes two, as the editor
    // makes around its confirmation).
    void setInfoExchanges(int n) { m_infoExchanges = n < 1 ? 1 : n; }
    // Per-radio values for the next write (nullptr: the same image for every radio). The
    // sheet must have passed its check against the image (imcFleetSheet::check) and must
    // live until the end. plainForUnlisted: a radio without a row gets the image as it is
    // instead of stopping the batch. defaults: the factory data rows coming into use start
    // from (may be nullptr).
    void setSheet(const imcFleetSheet* sheet, bool plainForUnlisted,
                  const cmcEeprom* defaults = nullptr);
    // Asked, once every radio has said who it is and before any data goes out, when the
    // plain document is to go to two or more radios without a row (they would all get the
    // same identity): the radios as "serial (link)". False leaves every radio out. Without
    // it the write goes on.
    void setPlainReview(std::function<bool(const QStringList&)> f) { m_plainReview = std::move(f); }
    // Called whenever one radio has ended (its index), and once when all have.
    void setRadioFinished(std::function<void(int)> f) { m_radioFinished = std::move(f); }
    void setFinished(std::function<void()> f) { m_finished = std::move(f); }

    // Starts every radio; false when running or without links. ranges (ended by {1, 0})
    // must live until the end.
    bool startWrite(const cmcEeprom& image, const cmcAdrRange* ranges);
    bool startRead();
    bool isRunning() const { return m_running; }
    // Ends every radio that can still be stopped with status 21 (cancelled): a read or an
    // identification at once, a write only before its data has gone out. False when none
    // could be stopped.
    bool cancel();

    int count() const { return int(m_slots.size()); }
    const Radio& radio(int i) const { return m_slots[size_t(i)]->radio; }
    // Who the radio says it is, from its information block (all empty before).
    imcRadioIdentity identity(int i) const;
    // Data bytes moved for the radio so far, and all it will move.
    int32_t done(int i) const;
    int32_t total() const { return m_total; }
    // The highest status of all radios (0 when every one succeeded).
    int32_t worstStatus() const;
    // The image that a write sent (prepared by the caller), and what radio i was sent (with
    // its own values applied).
    const cmcEeprom& sentImage() const { return m_image; }
    const cmcEeprom& sentImage(int i) const;
    // One line for a table: the clone message's headline, what a partly done write means,
    // and the differing addresses of a failed verification. Empty for success.
    QString message(int i) const;
    // The full clone message of a radio's status, as a box shows it.
    QString fullMessage(int i) const;

  private:
    struct Slot {
        imcFleetClone* fleet = nullptr;
        int index = 0;
        cmcCloneDrv driver;
        Radio radio;
        int infosLeft = 0;
        bool identified = false; // waiting for the others before its write
        cmcEeprom image;         // its own image, with per-radio values
        bool ownImage = false;
    };

    static void callback(void* context, dst_CDrv_Result* result);
    void advance(Slot& s, dst_CDrv_Result& result);
    void configure(Slot& s);
    void end(Slot& s, int32_t status);
    bool start(bool write);
    void startTransfer(Slot& s);
    // Per-radio values: once every radio is identified or has ended, each one's image.
    void planWhenReady();
    void plan();
    void leaveOut(Slot& s, const QString& note);

    std::vector<std::unique_ptr<Slot>> m_slots;
    bool m_write = false;
    bool m_verify = false;
    bool m_running = false;
    int m_infoExchanges = 1;
    int m_open = 0;
    int32_t m_total = 0;
    cmcEeprom m_image;
    const cmcAdrRange* m_ranges = nullptr;
    const imcFleetSheet* m_sheet = nullptr;
    bool m_plainForUnlisted = false;
    const cmcEeprom* m_defaults = nullptr;
    bool m_planned = false;
    std::function<void(int)> m_radioFinished;
    std::function<bool(const QStringList&)> m_plainReview;
    std::function<void()> m_finished;
    // The end is announced from the event loop, never from inside a driver's callback, so
    // that the caller may delete the whole fleet then; a deleted fleet announces nothing.
    QObject m_notifier;
};
