// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "prescan.h"

#include "catalogue.h"
#include "filelisting.h"
#include "identitykey.h"
#include "locate.h"
#include "mainstate.h"
#include "platform.h"
#include "programdir.h"
#include "recordset.h"
#include "safefile.h"
#include "vbtext.h"
#include "wildcard.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QThread>

#ifdef Q_OS_LINUX
#include <pthread.h>
#endif

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Check = MainState::Check;
using Mode = MainState::Mode;

// The order in which the pre-scan visits the file types of a directory; today's photo types
// come after the classic ones.
const char *const kScanOrder[] = {".ART", ".BMP", ".CUR", ".CUT", ".DIB", ".GEM", ".GIF", ".HRZ",
                                  ".ICO", ".IFF", ".IMG", ".JPG", ".LBM", ".MAC", ".MSP", ".PCX",
                                  ".PIC", ".PNG", ".RAS", ".RLE", ".TGA", ".TIF", ".WMF", ".WPG",
                                  ".AVIF", ".HEIC", ".HEIF", ".WEBP"};

QString markerPath()
{
    return ProgramDir::file(QStringLiteral("Scanning.dat"));
}

// The marker: the list index of the entry being scanned and, on a second line, how many rows
// this run had marked before it. Written whole and swapped in, so a crash leaves the old
// marker or the new one. A failure is ignored: a stale marker only makes a resumed run scan
// an entry again.
// A marker that replaces another is not flushed to the disk by itself. Each entry's rows were
// committed, and flushed, before the next marker is written, so a marker is never ahead of
// the catalogue; after a power cut one that lags behind (the previous marker) makes the
// resumed run scan an entry again into the same rows with the same numbers. The first marker
// of a run is flushed, so that a resume is offered after a power cut too.
void writeMarker(int listIndex, double markedBefore)
{
    const SafeFile::Sync sync = QFileInfo::exists(markerPath()) ? SafeFile::Sync::Deferred
                                                                : SafeFile::Sync::Now;
    SafeFile::writeWhole(markerPath(),
                         (VbText::print(listIndex) + QStringLiteral(" \r\n")
                          + VbText::print(markedBefore) + QStringLiteral(" \r\n"))
                             .toUtf8(),
                         nullptr, sync);
}

// Splits a list entry at its first "]" into the volume tag (with the bracket) and the path.
void splitEntry(const QString &entry, QString &volumeTag, QString &path)
{
    const int close = int(entry.indexOf(QLatin1Char(']')));
    volumeTag = entry.left(close + 1).trimmed();
    path = entry.mid(close + 1).trimmed();
}

// The letters of a name without its type: characters whose upper-case form is A to Z.
QString lettersOf(const QString &stem)
{
    QString out;
    out.reserve(stem.size());
    for (QChar c : stem) {
        const QChar u = c.toUpper();
        if (u >= QLatin1Char('A') && u <= QLatin1Char('Z'))
            out.append(u);
    }
    return out;
}

} // namespace

// One file's computation, handed to a worker thread and collected in listing order.
struct Job
{
    QString path, type;
    SignatureBuffer buffer;
    SignatureNeeds needs;
    std::atomic<bool> done{false};
    SignatureResult result;
    QImage preview;
    // Bytes this file counts for in the window: an estimate until the picture is decoded, then
    // the decoded picture's size.
    qint64 charge = 0;
};

// The worker threads. They take jobs in the order given, one each at a time, and start none
// while the scan is paused.
struct PreScan::Pool
{
    std::mutex mutex;
    std::condition_variable wake;     // jobs given, pause lifted, or stopping
    std::condition_variable finished; // a job is done
    std::deque<std::shared_ptr<Job>> queue;
    std::vector<std::thread> threads;
    int running = 0;
    bool paused = false;
    bool stopping = false;
    // Bytes of decoded pixels in flight: of the files handed out and not yet written.
    std::atomic<qint64> windowBytes{0};
    // A few pictures a second are enough for the preview; scaling every one costs time.
    bool showPreview = false;
    QElapsedTimer clock;
    std::atomic<qint64> lastPreview{-1000};

    ~Pool() { stop(); }

    void start(int count)
    {
        if (int(threads.size()) == count)
            return;
        stop();
        stopping = false;
        clock.start();
        for (int k = 0; k < count; ++k)
            threads.emplace_back([this] {
#ifdef Q_OS_LINUX
                pthread_setname_np(pthread_self(), "vexa-signatures"); // for ps and profilers
#endif
                work();
            });
    }
    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
            queue.clear();
        }
        wake.notify_all();
        for (std::thread &t : threads)
            t.join();
        threads.clear();
    }
    void submit(std::shared_ptr<Job> job)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            queue.push_back(std::move(job));
        }
        wake.notify_one();
    }
    void setPaused(bool on)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            paused = on;
        }
        wake.notify_all();
    }
    // Drops the jobs not yet started and waits for the others.
    void drain()
    {
        std::unique_lock<std::mutex> lock(mutex);
        queue.clear();
        finished.wait(lock, [this] { return running == 0; });
        windowBytes = 0;
    }
    // Waits up to ms for the job, and returns whether it is done.
    bool wait(const Job &job, int ms)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return finished.wait_for(lock, std::chrono::milliseconds(ms),
                                 [&job] { return job.done.load(); });
    }

    void work()
    {
        for (;;) {
            std::shared_ptr<Job> job;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [this] { return stopping || (!paused && !queue.empty()); });
                if (stopping)
                    return;
                job = std::move(queue.front());
                queue.pop_front();
                ++running;
            }
            bool wantPreview = false;
            if (showPreview) {
                const qint64 now = clock.elapsed();
                qint64 last = lastPreview.load();
                wantPreview = now - last >= 250 && lastPreview.compare_exchange_strong(last, now);
            }
            job->result = computeSignatures(job->path, job->type, job->buffer, job->needs,
                                            wantPreview ? &job->preview : nullptr);
            {
                std::lock_guard<std::mutex> lock(mutex);
                windowBytes += job->result.decodedBytes - job->charge;
                job->charge = job->result.decodedBytes;
                job->done = true;
                --running;
            }
            finished.notify_all();
        }
    }
};

// One list entry as the look-ahead reads it: its listing for each type, and which files of
// each pass the name filter.
struct PreScan::EntryPlan
{
    int index = 0;
    QString tag, path;
    QVector<Listing> listings;               // one per type
    std::vector<std::vector<int>> files;     // per type: indexes into the listing
    std::vector<std::vector<QString>> upper; // per type: those files' names, upper-cased

    const ListedFile &file(int type, int k) const
    {
        return listings[type].files[files[size_t(type)][size_t(k)]];
    }
};

// One file looked up and, when it lacks signatures, handed to a worker; its row is written
// when its turn comes.
struct PreScan::Pending
{
    std::shared_ptr<const EntryPlan> plan;
    int type = 0;
    int file = 0;
    QString key;
    std::optional<qint64> rowId;
    SignatureBuffer buffer;   // the row's signatures, when nothing is to be computed
    std::shared_ptr<Job> job; // the computation, when something is
    qint64 bytes = 0;         // what the look-up itself holds
};

struct PreScan::LookAhead
{
    std::deque<Pending> pending;                  // looked up, not yet written, in listing order
    std::deque<std::shared_ptr<EntryPlan>> plans; // planned ahead of the entry being written
    std::shared_ptr<EntryPlan> producing;         // the entry being looked up
    int type = 0, file = 0;                       // the next file of it to look up
    int nextPlan = 0;                             // the entry to plan after it
    // That entry, read and filtered on another thread.
    std::future<std::shared_ptr<EntryPlan>> listing;
    int listingIndex = -1;
    qint64 bytes = 0; // held by the look-ups in pending
};

namespace {

// How far the look-ahead may run: decoded pixels of the files handed out and not yet written,
// and the memory of the look-ups themselves. The file whose row comes next is always handed
// out, whatever its size. The pictures are freed as soon as their signatures are computed, so
// this bounds the work done ahead more than the memory held: enough to keep every core busy
// past a large picture among small ones, at the end of a folder or at a change of type.
constexpr qint64 PixelWindow = 256LL << 20;
constexpr qint64 LookUpWindow = 8LL << 20;

// Before a picture is decoded its size is guessed from the file's: most files hold a few
// bytes of pixels for each byte on disk.
qint64 guessDecodedBytes(qint64 fileSize)
{
    return std::max<qint64>(fileSize * 8, 64 << 10);
}

} // namespace

PreScan::PreScan(MainState &state, QObject *parent)
    : QObject(parent), m_state(state), m_pool(std::make_unique<Pool>()),
      m_ahead(std::make_unique<LookAhead>())
{
}

PreScan::~PreScan()
{
    m_cancel = true;
    m_pool->stop();
    if (m_ahead->listing.valid())
        m_ahead->listing.wait();
}

void PreScan::setPaused(bool paused)
{
    if (m_paused == paused)
        return;
    m_paused = paused;
    m_pool->setPaused(paused);
    emit pausedChanged(paused);
}

QString PreScan::cataloguePath(const MainState &state)
{
    return ProgramDir::file(QStringLiteral("data/") + state.catalogueName() + QStringLiteral(".mdb"));
}

QStringList PreScan::filterPatterns(const QString &filter)
{
    QString p1 = filter, p2, p3;
    const int c1 = int(filter.indexOf(QLatin1Char(',')));
    if (c1 >= 0) {
        p1 = filter.left(c1);
        const QString rest = filter.mid(c1 + 1);
        const int c2 = int(rest.indexOf(QLatin1Char(',')));
        if (c2 >= 0) {
            p2 = rest.left(c2);
            const QString last = rest.mid(c2 + 1);
            const int c3 = int(last.indexOf(QLatin1Char(',')));
            p3 = c3 >= 0 ? last.left(c3) : last;
        } else {
            p2 = rest;
        }
    }
    auto cut = [](QString &p) {
        const int dot = int(p.indexOf(QLatin1Char('.')));
        if (dot >= 0)
            p = p.left(dot).trimmed();
    };
    cut(p1);
    cut(p2);
    cut(p3);
    if (p2.isEmpty())
        p2 = p1;
    if (p3.isEmpty())
        p3 = p2;
    return {p1, p2, p3};
}

bool PreScan::passesFilter(const QString &upperName, const QStringList &patterns,
                           const QString &type, bool notFilter)
{
    bool matched = false;
    for (const QString &p : patterns) {
        // "*" + type, the usual filter, needs no pattern matching.
        if (p.size() == 1 && p[0] == QLatin1Char('*') && upperName.endsWith(type)) {
            matched = true;
            break;
        }
        if (Wildcard::like(upperName, p + type)) {
            matched = true;
            break;
        }
    }
    return notFilter ? !matched : matched;
}

int PreScan::purgeCutoff(int year, int month)
{
    int m = month - 3;
    int y = year;
    if (m < 1) {
        m += 12;
        --y;
    }
    return y * 100 + m;
}

PreScan::Marker PreScan::readMarker()
{
    Marker m;
    QFile f(markerPath());
    if (!f.open(QIODevice::ReadOnly))
        return m;
    m.listIndex = VbText::toInt32(VbText::leadingNumber(QString::fromUtf8(f.readLine(256)).trimmed()));
    const QString second = QString::fromUtf8(f.readLine(256)).trimmed();
    if (!second.isEmpty() && second[0].isDigit())
        m.markedBefore = VbText::leadingNumber(second);
    return m;
}

int PreScan::resumeIndex()
{
    return readMarker().listIndex;
}

bool PreScan::stopOnFailure(const Catalogue &catalogue, const QString &where)
{
    if (m_failed)
        return true;
    if (catalogue.failures() == 0)
        return false;
    m_failed = true;
    m_damaged = catalogue.isDamaged();
    m_cancel = true;
    m_error = catalogue.lastError() + QStringLiteral("\n\n") + where;
    return true;
}

void PreScan::FixExtension(const QString &directory, const QString &oldExtension)
{
    QDir dir(directory);
    // A name filter matches without regard to case, as listings do here everywhere.
    QStringList names = dir.entryList({QStringLiteral("*") + oldExtension},
                                      QDir::Files | QDir::Hidden, QDir::Name);
    if (names.size() > 1000)
        names = names.mid(0, 1000);
    for (const QString &name : names) {
        const QString stem = name.left(name.size() - oldExtension.size());
        QString target = stem + QStringLiteral(".jpg");
        for (int n = 1; QFileInfo::exists(dir.filePath(target)); ++n)
            target = stem + QString::number(n) + QStringLiteral(".jpg");
        // rename() never replaces an existing file; a failure leaves the file as it was.
        QFile::rename(dir.filePath(name), dir.filePath(target));
    }
}

void PreScan::maybeYield(bool force)
{
    if (m_state.stopSignal)
        m_cancel = true;
    if (!yield)
        return;
    if (force || !m_sinceYield.isValid() || m_sinceYield.elapsed() >= 30) {
        yield();
        m_sinceYield.restart();
    }
}

bool PreScan::statusDue() const
{
    // A few refreshes a second are enough for the eye; per-file updates would slow big scans.
    return !m_sinceStatus.isValid() || m_sinceStatus.elapsed() >= 150;
}

void PreScan::showStatus(const QString &directory, const QString &number, bool force)
{
    if (!force && !statusDue())
        return;
    m_sinceStatus.restart();
    emit directoryChanged(directory);
    if (!number.isEmpty())
        emit numberChanged(number);
}

void PreScan::waitWhilePaused()
{
    while (m_paused && !m_cancel && !m_state.stopSignal) {
        if (yield)
            yield();
        QThread::msleep(20);
    }
}

bool PreScan::underReactivatedVolume(const QString &path) const
{
    const QStringList roots = m_state.reactivate.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString root : roots) {
        root = root.trimmed();
        if (root.isEmpty())
            continue;
        const QString withSlash = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if (path == root || path.startsWith(withSlash))
            return true;
    }
    return false;
}

bool PreScan::prepare(Catalogue &catalogue)
{
    showStatus(QStringLiteral("Preparing database...Purging deleted records"), QString(), true);
    maybeYield(true);
    if (!m_state.autoPurge) {
        if (!catalogue.deleteTagged())
            return false;
    } else {
        showStatus(QStringLiteral("Preparing database...Purging records not accessed for 3 months"),
                   QString(), true);
        maybeYield(true);
        // Both removals in one pass over the table: the rows left are the same.
        const QDate today = QDate::currentDate();
        if (!catalogue.deleteTaggedAndAccessedBefore(purgeCutoff(today.year(), today.month())))
            return false;
    }
    showStatus(QStringLiteral("Preparing database...Clearing tags from last search"), QString(), true);
    maybeYield(true);
    return catalogue.resetMarks();
}

bool PreScan::RunPreScan()
{
    const QDate today = QDate::currentDate();
    m_stamp = today.year() * 100 + today.month();
    m_state.searchCompleted = QStringLiteral("NO");
    m_cancel = false;
    m_failed = m_damaged = false;
    m_error.clear();
    m_marked = 0;
    m_rowsWritten = 0;
    m_filesRead = 0;
    m_unreadableNames = 0;
    m_unreadableFolders.clear();
    m_shownNumber = 0;
    m_warnChecksum = m_warnColour = m_warnPattern = false;
    m_patterns = filterPatterns(m_state.filter.isEmpty() ? QStringLiteral("*") : m_state.filter);

    const Mode mode = m_state.mode();
    const bool gather = m_state.isChecked(Check::Gather);
    m_needs.checksum = gather || mode == Mode::Checksum;
    m_needs.colour = gather || mode == Mode::AverageRgb || mode == Mode::QuadRgb;
    m_needs.pattern = gather || mode == Mode::Pattern;
    m_showPreview = m_needs.colour || m_needs.pattern;
    m_pool->showPreview = m_showPreview;
    m_pool->start(threads > 0 ? threads : std::max(1, QThread::idealThreadCount()));

    Catalogue catalogue;
    if (!catalogue.open(cataloguePath(m_state))) {
        m_error = catalogue.lastError();
        m_failed = true;
        m_damaged = catalogue.isDamaged();
        return false;
    }
    catalogue.database().exec(QStringLiteral("PRAGMA synchronous=FULL"));
    // A pre-scan touches every row: a page cache that holds the whole catalogue of a large
    // collection keeps SQLite from shuttling pages to and from the system's cache. Reads go
    // through a memory map of the file for the same reason.
    catalogue.database().exec(QStringLiteral("PRAGMA cache_size=-131072"));
    catalogue.database().exec(QStringLiteral("PRAGMA mmap_size=536870912"));
    // A repeated search rewrites every row twice (the reset, then the marks): folding the
    // log back into the file only every 64 MB writes each page back once instead of at every
    // thousand pages.
    catalogue.database().exec(QStringLiteral("PRAGMA wal_autocheckpoint=16384"));

    const QString preparing = QStringLiteral("This happened while the catalogue was being prepared for the search.");
    // The run looks rows up in its own table: keeping the indexes up to date row by row would
    // rewrite most of their pages at every commit.
    catalogue.setIndexesAside();
    if (stopOnFailure(catalogue, preparing))
        return finishFailed(catalogue);

    const Marker marker = readMarker();
    int first = marker.listIndex;
    if (first <= 0) {
        first = 0;
        prepare(catalogue);
    } else if (marker.markedBefore >= 0) {
        // Rows numbered after the count saved with the marker were marked by the entry the run
        // stopped in (or later, by re-activation): they go back as preparation left them, so
        // the entry is scanned again into the same rows with the same numbers.
        m_marked = marker.markedBefore;
        catalogue.unmarkAfter(m_marked);
    } else {
        // A marker without the count: numbers go on from the highest already given.
        m_marked = catalogue.highestRecnum();
    }
    if (stopOnFailure(catalogue, preparing))
        return finishFailed(catalogue);

    // Every row not yet found in this run, by its REF: a seek takes the lowest row id and
    // stands for clearing that row's REF when it is written.
    m_refs = catalogue.refTable();
    if (stopOnFailure(catalogue, preparing))
        return finishFailed(catalogue);

    const QStringList entries = m_state.directories;
    QStringList types;
    for (const char *t : kScanOrder) {
        if (m_state.isFileTypeChecked(MainState::fileTypeIndex(QLatin1String(t))))
            types << QLatin1String(t);
    }

    m_entries = entries;
    m_types = types;
    m_catalogue = &catalogue;
    startLookAhead(first);
    for (int index = first; index < entries.size() && !m_cancel; ++index) {
        QString tag, path;
        splitEntry(entries[index], tag, path);
        writeMarker(index, m_marked);
        LocateDirectory(tag, path);
        std::shared_ptr<EntryPlan> plan = takePlan(index);
        if (!plan) {
            // Not read ahead, or not readable then (on a medium put in at the prompt just now):
            // read now, and the look-ahead goes on from here.
            if (m_state.isChecked(Check::Jpeg)) {
                FixExtension(path, QStringLiteral(".jpeg"));
                FixExtension(path, QStringLiteral(".jpe"));
            }
            plan = makePlan(index, entries[index], listFiles(path, types), m_patterns, types,
                            m_state.isChecked(Check::Not));
            producing(plan);
        }
        if (!plan->listings.isEmpty() && !plan->listings.first().ok && QFileInfo(path).isDir())
            m_unreadableFolders << path; // there, but not ours to read: said at the end
        // One transaction per list entry: a crash or a failed statement loses at most the
        // entry being scanned, which the marker file makes the next run scan again.
        m_where = QStringLiteral("This happened while the list entry %1 (%2 of %3) was being "
                                 "scanned.")
                      .arg(entries[index]).arg(index + 1).arg(entries.size());
        scanEntry(catalogue, [&] {
            for (int k = 0; k < types.size() && !m_cancel; ++k)
                ScanDirectory(catalogue, *plan, k);
        });
        // The directory read ahead may have come in while the rows were written: the next
        // one is started now rather than when the next entry's first file is looked up.
        topUp();
    }
    stopLookAhead();

    if (!m_cancel) {
        for (int index = 0; index < entries.size() && !m_cancel; ++index) {
            QString tag, path;
            splitEntry(entries[index], tag, path);
            if (!underReactivatedVolume(path))
                continue;
            m_where = QStringLiteral("This happened while the rows of %1 were being re-activated.")
                          .arg(entries[index]);
            scanEntry(catalogue, [&] {
                for (int k = 0; k < types.size() && !m_cancel; ++k)
                    ReactivateDirectory(catalogue, tag, path, types[k]);
            });
        }
    }
    if (m_failed)
        return finishFailed(catalogue);
    catalogue.restoreIndexes();
    if (stopOnFailure(catalogue, QStringLiteral("This happened while the catalogue's indexes were "
                                                "being rebuilt at the end of the search.")))
        return finishFailed(catalogue);
    catalogue.close();
    if (!m_cancel)
        m_state.searchCompleted = QStringLiteral("YES");
    return true;
}

void PreScan::scanEntry(Catalogue &catalogue, const std::function<void()> &work)
{
    const double before = m_marked;
    const bool committed = catalogue.transaction([&] {
        work();
        return catalogue.failures() == 0;
    });
    if (committed) {
        m_rowsWritten += m_marked - before;
        return;
    }
    // Nothing of the entry is kept: its rows and numbers are given again when the run resumes.
    stopOnFailure(catalogue, m_where);
    m_marked = before;
}

bool PreScan::finishFailed(Catalogue &catalogue)
{
    stopLookAhead();
    catalogue.close();
    return false;
}

void PreScan::startLookAhead(int first)
{
    LookAhead &a = *m_ahead;
    a = LookAhead();
    a.nextPlan = first;
    m_pool->windowBytes = 0;
}

void PreScan::stopLookAhead()
{
    // Files handed out but not written (Quit, a failure) are finished by the workers and dropped.
    m_pool->drain();
    LookAhead &a = *m_ahead;
    if (a.listing.valid())
        a.listing.wait();
    a = LookAhead();
    m_catalogue = nullptr;
}

std::shared_ptr<PreScan::EntryPlan> PreScan::makePlan(int index, const QString &entry,
                                                      QVector<Listing> listings,
                                                      const QStringList &patterns,
                                                      const QStringList &types, bool notFilter)
{
    auto plan = std::make_shared<EntryPlan>();
    plan->index = index;
    splitEntry(entry, plan->tag, plan->path);
    plan->listings = std::move(listings);
    plan->files.resize(size_t(plan->listings.size()));
    plan->upper.resize(size_t(plan->listings.size()));
    for (int k = 0; k < plan->listings.size(); ++k) {
        const QVector<ListedFile> &files = plan->listings[k].files;
        for (int f = 0; f < files.size(); ++f) {
            if (files[f].name.trimmed().size() <= 4)
                continue;
            QString upper = files[f].name.toUpper();
            if (passesFilter(upper, patterns, types[k], notFilter)) {
                plan->files[size_t(k)].push_back(f);
                plan->upper[size_t(k)].push_back(std::move(upper));
            }
        }
    }
    return plan;
}

// The look-ahead goes on with this entry, and the next entry's directory is read and its files
// filtered on another thread meanwhile: reading a directory is mostly the system's work. When
// ".jpeg" names are to be fixed, that is done there first.
void PreScan::producing(std::shared_ptr<EntryPlan> plan)
{
    LookAhead &a = *m_ahead;
    a.producing = std::move(plan);
    a.type = a.file = 0;
    a.nextPlan = a.producing->index + 1;
    if (a.nextPlan >= m_entries.size() || m_types.isEmpty())
        return;
    QString tag, path;
    splitEntry(m_entries[a.nextPlan], tag, path);
    const bool fix = m_state.isChecked(Check::Jpeg);
    a.listing = std::async(std::launch::async,
                           [index = a.nextPlan, entry = m_entries[a.nextPlan], path, fix,
                            patterns = m_patterns, types = m_types,
                            notFilter = m_state.isChecked(Check::Not)] {
                               if (fix) {
                                   FixExtension(path, QStringLiteral(".jpeg"));
                                   FixExtension(path, QStringLiteral(".jpe"));
                               }
                               return makePlan(index, entry, listFiles(path, types), patterns,
                                               types, notFilter);
                           });
    a.listingIndex = a.nextPlan;
}

// Plans the next entry once its directory has been read. Not when it could not be read: the
// entry waits for its turn, when the user may be asked for its medium.
bool PreScan::planNextEntry()
{
    LookAhead &a = *m_ahead;
    if (a.listingIndex != a.nextPlan || !a.listing.valid()
        || a.listing.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return false;
    std::shared_ptr<EntryPlan> plan = a.listing.get();
    a.listingIndex = -1;
    if (plan->listings.size() != m_types.size() || plan->listings.isEmpty()
        || !plan->listings.first().ok)
        return false;
    a.plans.push_back(plan);
    producing(std::move(plan));
    return true;
}

// The plan of the entry whose turn it is, when the look-ahead has made it.
std::shared_ptr<PreScan::EntryPlan> PreScan::takePlan(int index)
{
    LookAhead &a = *m_ahead;
    if (a.plans.empty() && a.nextPlan == index && a.listingIndex == index && a.listing.valid()) {
        a.listing.wait(); // being read ahead: it is needed now
        planNextEntry();
    }
    if (a.plans.empty() || a.plans.front()->index != index)
        return nullptr;
    std::shared_ptr<EntryPlan> plan = a.plans.front();
    a.plans.pop_front();
    return plan;
}

// Looks files up in listing order and hands those that lack signatures to the workers, until
// the window is full. Look-ups run in listing order, so each sighting takes the row a
// file-by-file scan would give it. Returns after a few milliseconds at most, so that the
// window's buttons are served.
void PreScan::topUp()
{
    LookAhead &a = *m_ahead;
    QElapsedTimer spent;
    spent.start();
    for (int n = 1; !m_cancel; ++n) {
        if (!a.pending.empty()
            && (m_paused || m_pool->windowBytes >= PixelWindow || a.bytes >= LookUpWindow
                || (n % 16 == 0 && spent.elapsed() >= 5)))
            return;
        if (!a.producing || a.type >= m_types.size()) {
            if (!planNextEntry())
                return;
            continue;
        }
        if (a.file >= int(a.producing->files[size_t(a.type)].size())) {
            ++a.type;
            a.file = 0;
            continue;
        }
        lookUp(a.producing, a.type, a.file++);
    }
}

void PreScan::lookUp(const std::shared_ptr<EntryPlan> &plan, int type, int file)
{
    const ListedFile &f = plan->file(type, file);
    Pending it;
    it.plan = plan;
    it.type = type;
    it.file = file;
    it.key = IdentityKey::make(m_state.identifyByLocation, plan->tag, plan->path,
                               plan->upper[size_t(type)][size_t(file)], f.size, f.modifiedSecs);
    it.rowId = m_refs.take(it.key);
    if (it.rowId && any(m_needs)) {
        if (auto row = m_catalogue->readSignatures(*it.rowId))
            it.buffer = SignatureBuffer::from(*row);
        else
            it.rowId.reset();
    }
    const SignatureNeeds needs = missing(it.buffer, m_needs);
    if (any(needs)) {
        auto job = std::make_shared<Job>();
        job->buffer = it.buffer;
        job->needs = needs;
        job->path = plan->path + f.name;
        job->type = m_types[type];
        job->charge = needs.colour || needs.pattern ? guessDecodedBytes(f.size) : 0;
        m_pool->windowBytes += job->charge;
        m_pool->submit(job);
        it.job = std::move(job);
    }
    auto textBytes = [](const QString &t) { return qint64(t.size()) * 2; };
    it.bytes = qint64(sizeof(Pending)) + textBytes(it.key) + textBytes(it.buffer.CHECKSUM)
               + textBytes(it.buffer.PXLRAY) + 4 * textBytes(it.buffer.QRGB);
    m_ahead->bytes += it.bytes;
    m_ahead->pending.push_back(std::move(it));
}

void PreScan::release(Pending &item)
{
    m_ahead->bytes -= item.bytes;
    if (item.job)
        m_pool->windowBytes -= item.job->charge;
    m_ahead->pending.pop_front();
}

void PreScan::ScanDirectory(Catalogue &catalogue, const EntryPlan &plan, int type)
{
    const QString &path = plan.path;
    showStatus(path, QString(), true);
    maybeYield(true);
    const Listing &listing = plan.listings[type];
    m_unreadableNames += listing.unreadableNames;
    if (!listing.ok)
        return;

    LookAhead &a = *m_ahead;
    const int count = int(plan.files[size_t(type)].size());
    // Rows found again that need no new signature are written together at the end.
    QVector<Catalogue::SeenRow> seen;
    const ListedFile *lastFile = nullptr;
    for (int w = 0; w < count && !m_cancel; ++w) {
        topUp();
        if (a.pending.empty())
            break; // cancelled
        Pending &it = a.pending.front();
        Q_ASSERT(it.plan.get() == &plan && it.type == type && it.file == w);
        // Wait for this file's result, serving the window and the look-ahead meanwhile.
        while (it.job && !it.job->done && !m_cancel) {
            m_pool->wait(*it.job, 20);
            maybeYield();
            topUp();
        }
        waitWhilePaused();
        if (m_cancel)
            break;
        const ListedFile &f = plan.file(type, w);
        if (statusDue()) {
            showStatus(path + QLatin1Char(' ') + f.name,
                       VbText::general(m_marked + 1) + QStringLiteral(" found..."), true);
            m_shownNumber = m_marked + 1;
        }
        lastFile = &f;
        m_marked += 1;
        if (!it.job && it.rowId) {
            // Found again with every signature it needs: only its marks and place are written.
            // The key rebuilt from the row's new location and the file is the key it was
            // found by.
            seen.append({*it.rowId, m_marked, f.name, it.key});
            release(it);
            maybeYield();
            continue;
        }
        if (it.job && it.job->result.readFile)
            ++m_filesRead;
        if (it.job && !it.job->preview.isNull())
            emit previewChanged(it.job->preview);

        FilesRecord row;
        row.RECNUM = m_marked;
        row.REF = QString();
        row.ACTIVE = QStringLiteral("X");
        row.ACCESSED = m_stamp;
        if (!it.rowId) {
            const QString stem = f.name.left(f.name.size() - m_types[type].size());
            row.RTAG = QStringLiteral(" ");
            row.NAME = stem.toUpper();
            row.REFNAME = stem;
            row.BASENAME = lettersOf(stem);
            row.EXTENSION = m_types[type].toUpper();
            row.WHOLENAME = plan.upper[size_t(type)][size_t(w)];
            row.WHOLEBASE = row.BASENAME + row.EXTENSION;
            row.SIZE = double(f.size);
            row.DATE = f.modified();
        }
        (it.job ? it.job->result.buffer : it.buffer).into(row);
        row.DRIVEVOLUME = plan.tag;
        row.PATH = path;
        row.DISKNAME = f.name;
        row.STAG = it.key;
        const bool written = it.rowId ? catalogue.markSeen(*it.rowId, row, true)
                                      : catalogue.insert(row).has_value();
        release(it);
        if (!written || stopOnFailure(catalogue, m_where)) {
            stopOnFailure(catalogue, m_where + QStringLiteral("  The file being written was %1.").arg(path + f.name));
            break;
        }
        maybeYield();
    }
    if (!m_failed && !stopOnFailure(catalogue, m_where)) {
        topUp(); // keeps the directory reader busy while the marks are written
        catalogue.markSeenMany(seen, plan.tag, path, m_stamp);
    }
    // The count line is refreshed only now and then; the last file is always shown, so the
    // window ends on the figures of the closing message.
    if (lastFile && m_shownNumber != m_marked) {
        showStatus(path + QLatin1Char(' ') + lastFile->name,
                   VbText::general(m_marked) + QStringLiteral(" found..."), true);
        m_shownNumber = m_marked;
    }
}

void PreScan::ReactivateDirectory(Catalogue &catalogue, const QString &volumeTag,
                                  const QString &path, const QString &type)
{
    auto rows = catalogue.selectForReactivation(volumeTag, path, type);
    if (!rows)
        return;
    const bool notFilter = m_state.isChecked(Check::Not);
    QString lastName;
    for (rows->moveFirst(); !rows->eof() && !m_cancel; rows->moveNext()) {
        const std::optional<FilesRecord> row = rows->record();
        if (!row)
            continue;
        if (!passesFilter(row->WHOLENAME, m_patterns, type, notFilter))
            continue;
        m_marked += 1;
        FilesRecord r = *row;
        r.RECNUM = m_marked;
        r.ACTIVE = QStringLiteral("X");
        r.REF = QString();
        r.ACCESSED = m_stamp;
        if (!rows->update(r) || stopOnFailure(catalogue, m_where)) {
            stopOnFailure(catalogue, m_where);
            break;
        }
        lastName = r.WHOLENAME;
        if (statusDue()) {
            showStatus(QStringLiteral("Activating ") + path + QLatin1Char(' ') + r.WHOLENAME,
                       VbText::general(m_marked) + QStringLiteral(" found..."), true);
            m_shownNumber = m_marked;
        }
        maybeYield();
        if (r.CHECKSUM.size() < 200)
            m_warnChecksum = true;
        if (r.RGB.size() < 5)
            m_warnColour = true;
        if (r.PXLRAY.size() < 5)
            m_warnPattern = true;
    }
    if (!lastName.isEmpty() && m_shownNumber != m_marked) {
        showStatus(QStringLiteral("Activating ") + path + QLatin1Char(' ') + lastName,
                   VbText::general(m_marked) + QStringLiteral(" found..."), true);
        m_shownNumber = m_marked;
    }
}
