// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "frmdirlook.h"

#include "maincontroller.h"
#include "mainstate.h"
#include "prescan.h"
#include "programdir.h"
#include "progresswindowplacement.h"
#include "prompts.h"
#include "stepsound.h"
#include "vbtext.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using Check = MainState::Check;
using Mode = MainState::Mode;

// A disk drive whose busy light flickers: three frames.
std::array<QPixmap, 3> drawDrive()
{
    std::array<QPixmap, 3> frames;
    const QColor lights[] = {QColor(40, 200, 60), QColor(230, 60, 40), QColor(90, 90, 90)};
    for (int i = 0; i < 3; ++i) {
        QPixmap pm(64, 40);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(QColor(200, 200, 205));
        p.drawRoundedRect(QRectF(2, 6, 60, 28), 4, 4);
        p.setBrush(QColor(60, 60, 70));
        p.drawRect(QRectF(10, 16, 36, 5));
        p.setBrush(lights[i]);
        p.drawEllipse(QPointF(53, 26), 3.5, 3.5);
        frames[size_t(i)] = pm;
    }
    return frames;
}

} // namespace

frmDIRLOOK::frmDIRLOOK(MainState &state, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state), m_scan(new PreScan(state, this))
{
    setObjectName(QStringLiteral("frmDIRLOOK"));
    setAttribute(Qt::WA_DeleteOnClose);
    showCaption();
    Label1 = new QLabel(QStringLiteral("Reading directory..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblDIRECTORY = new QLabel(this);
    lblDIRECTORY->setObjectName(QStringLiteral("lblDIRECTORY"));
    lblDIRECTORY->setMinimumWidth(420);
    lblDIRECTORY->setTextFormat(Qt::PlainText);
    // A long path is cut at the window's edge rather than widening the window past the screen.
    lblDIRECTORY->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblNUMBER = new QLabel(this);
    lblNUMBER->setObjectName(QStringLiteral("lblNUMBER"));
    imgDRIVE = new QLabel(this);
    imgDRIVE->setObjectName(QStringLiteral("imgDRIVE"));
    Picture2 = new QLabel(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFixedSize(200, 150);
    Picture2->setAlignment(Qt::AlignCenter);
    Picture2->hide();
    cmdPAUSE = new QPushButton(QStringLiteral("&Pause"), this);
    cmdPAUSE->setObjectName(QStringLiteral("cmdPAUSE"));
    cmdPAUSE->setCheckable(true);
    cmdCANCEL = new QPushButton(QStringLiteral("&Quit"), this);
    cmdCANCEL->setObjectName(QStringLiteral("cmdCANCEL"));
    cmdKILL = new QPushButton(QStringLiteral("&Abort"), this);
    cmdKILL->setObjectName(QStringLiteral("cmdKILL"));
    cmdKILL->setToolTip(QStringLiteral("End the program now; the scan resumes at the next start"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(imgDRIVE, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(Picture2, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(Label1, 0, 1, 1, 3);
    layout->addWidget(lblDIRECTORY, 1, 1, 1, 3);
    layout->addWidget(lblNUMBER, 2, 1, 1, 3);
    layout->addWidget(cmdPAUSE, 3, 1);
    layout->addWidget(cmdCANCEL, 3, 2);
    layout->addWidget(cmdKILL, 3, 3);

    m_driveFrames = drawDrive();
    imgDRIVE->setPixmap(m_driveFrames[0]);
    tmrDRIVE = new QTimer(this);
    tmrDRIVE->setInterval(100);
    connect(tmrDRIVE, &QTimer::timeout, this, [this] {
        const int frame = int(3 * QRandomGenerator::global()->generateDouble());
        imgDRIVE->setPixmap(m_driveFrames[size_t(frame)]);
    });

    connect(m_scan, &PreScan::directoryChanged, this, [this](const QString &text) {
        // A long path is shortened in the middle for the eye; the window keeps its width.
        lblDIRECTORY->setToolTip(text);
        lblDIRECTORY->setText(lblDIRECTORY->fontMetrics().elidedText(
            text, Qt::ElideMiddle, std::max(lblDIRECTORY->width(), lblDIRECTORY->minimumWidth())));
    });
    connect(m_scan, &PreScan::numberChanged, this, [this](const QString &n) {
        lblNUMBER->setText(n);
        m_lastNumber = n;
        if (isMinimized())
            showCaption();
    });
    connect(m_scan, &PreScan::previewChanged, this, [this](const QImage &img) {
        Picture2->setPixmap(QPixmap::fromImage(
            img.scaled(Picture2->size(), Qt::KeepAspectRatio, Qt::FastTransformation)));
    });
    connect(m_scan, &PreScan::pausedChanged, this, [this](bool paused) {
        cmdPAUSE->setChecked(paused);
        showCaption();
    });
    connect(cmdPAUSE, &QPushButton::clicked, this, [this](bool on) { m_scan->setPaused(on); });
    connect(cmdCANCEL, &QPushButton::clicked, this, [this] { m_scan->cancel(); });
    connect(cmdKILL, &QPushButton::clicked, this, [] {
        // Ends the program at once; the marker file stays, so the next start offers to go on.
        std::_Exit(3);
    });
    m_scan->yield = [] { QCoreApplication::processEvents(); };

    // The modes that read pictures show each one instead of the drive: the window takes its
    // final size before it is placed.
    if (showsPictures()) {
        imgDRIVE->hide();
        Picture2->show();
    }
    adjustSize();
    ProgressWindowPlacement::place(this, m_state);
}

frmDIRLOOK::~frmDIRLOOK() = default;

bool frmDIRLOOK::showsPictures() const
{
    const Mode mode = m_state.mode();
    return mode == Mode::AverageRgb || mode == Mode::QuadRgb || mode == Mode::Pattern
           || m_state.isChecked(Check::Gather);
}

void frmDIRLOOK::showCaption()
{
    if (m_scan && m_scan->isPaused())
        setWindowTitle(QStringLiteral("vexa! - Paused"));
    else if (isMinimized() && !m_lastNumber.isEmpty())
        setWindowTitle(m_lastNumber.section(QLatin1Char(' '), 0, 0) + QStringLiteral(" files..."));
    else
        setWindowTitle(QStringLiteral("Vexa! - Directory Pre-Scan"));
}

void frmDIRLOOK::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange)
        showCaption();
}

void frmDIRLOOK::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (m_firstActivation) {
        m_firstActivation = false;
        QTimer::singleShot(0, this, &frmDIRLOOK::run);
    }
}

void frmDIRLOOK::run()
{
    if (!showsPictures())
        tmrDRIVE->start();
    m_running = true;
    m_clock.start();
    const bool opened = m_scan->RunPreScan();
    m_running = false;
    tmrDRIVE->stop();
    if (!opened) {
        // The marker file stays, so the next search goes on from the entry that failed.
        m_state.preScanFailed = true;
        printSummary();
        if (m_scan->damaged()) {
            MainController::offerToSetAside(PreScan::cataloguePath(m_state), m_scan->error());
        } else {
            Prompts::ask(this, Prompts::Box{m_scan->error() + QStringLiteral("\n\nThe search has "
                                                                            "stopped.  Once this is put right, the next search goes on where it stopped."),
                                            QStringLiteral("Vexa! - Error"), Prompts::Buttons::Ok,
                                            Prompts::Icon::Critical, Prompts::Default::First});
        }
        close();
        return;
    }
    finish();
}

void frmDIRLOOK::printSummary()
{
    if (!m_state.isChecked(Check::Gather))
        return;
    // The unattended run leaves a one-line account on standard output; only committed rows
    // count as written.
    const QStringList sentences = skippedSentences();
    const QString skipped =
        sentences.isEmpty() ? QString() : QStringLiteral("; ") + sentences.join(QStringLiteral("; "));
    const char *ending = m_state.preScanFailed ? "; stopped by an error"
                         : m_scan->isCancelled() && m_state.searchCompleted != QLatin1String("YES")
                             ? "; stopped before the end"
                             : "";
    std::printf("Vexa! gather of list %s: %d files read, %.0f rows written, %.1f seconds%s%s\n",
                qPrintable(m_state.listName), m_scan->filesRead(), m_scan->rowsWritten(),
                m_clock.elapsed() / 1000.0, qPrintable(skipped), ending);
    std::fflush(stdout);
}

QStringList frmDIRLOOK::skippedSentences() const
{
    QStringList out;
    if (m_scan->unreadableNames() > 0) {
        out << QStringLiteral("%1 file(s) were skipped: their names are not valid text on this system.")
                   .arg(m_scan->unreadableNames());
    }
    if (!m_scan->unreadableFolders().isEmpty()) {
        out << QStringLiteral("%1 folder(s) could not be read and were skipped.")
                   .arg(m_scan->unreadableFolders().size());
    }
    return out;
}

void frmDIRLOOK::finish()
{
    PlayStepSound(m_state);
    m_state.preScanMarked = m_scan->markedCount();
    const bool gather = m_state.isChecked(Check::Gather);
    const QStringList skipped = skippedSentences();
    const QStringList folders = m_scan->unreadableFolders();
    if (!gather && !m_state.isChecked(Check::PreMatch) && !m_state.stopSignal) {
        const Mode mode = m_state.mode();
        auto warn = [this](const char *what) {
            Prompts::ask(this, Prompts::Box{QStringLiteral("You have Re-Activated image records for which ")
                                                + QLatin1String(what)
                                                + QStringLiteral(" information has not been Gathered.  This may effect the presentation of all possible duplilcates.  Please see the help file for more information on Re-Activation."),
                                            QStringLiteral("Vexa! - Warning"), Prompts::Buttons::Ok,
                                            Prompts::Icon::Exclamation, Prompts::Default::First});
        };
        if (m_scan->warnChecksum() && mode == Mode::Checksum)
            warn("CheckSum");
        if (m_scan->warnColour() && (mode == Mode::AverageRgb || mode == Mode::QuadRgb))
            warn("RGB");
        if (m_scan->warnPattern() && mode == Mode::Pattern)
            warn("Pattern");
        QString text = VbText::general(m_scan->markedCount()) + QStringLiteral(" files read...");
        if (!skipped.isEmpty())
            text += QStringLiteral("\n\n") + skipped.join(QStringLiteral("\n\n"));
        constexpr int kFoldersNamed = 5;
        for (int i = 0; i < folders.size() && i < kFoldersNamed; ++i)
            text += QLatin1Char('\n') + QDir::toNativeSeparators(folders[i]);
        if (folders.size() > kFoldersNamed)
            text += QStringLiteral("\n...");
        Prompts::message(this, text);
    }
    printSummary();
    close();
}

void frmDIRLOOK::closeEvent(QCloseEvent *e)
{
    if (m_running) {
        // Closing the window while it runs means Quit: the run stops, then closes the window.
        m_scan->cancel();
        e->ignore();
        return;
    }
    // A run that failed, or that the system stopped before its end, leaves its marker for the
    // next start.
    const bool unfinished = m_state.preScanFailed
                            || (m_state.stopSignal && m_state.searchCompleted != QLatin1String("YES"));
    if (!unfinished)
        QFile::remove(ProgramDir::file(QStringLiteral("Scanning.dat")));
    m_scan->cancel();
    ProgressWindowPlacement::store(this, m_state);
    m_state.preScanDone = true;
    e->accept();
}
