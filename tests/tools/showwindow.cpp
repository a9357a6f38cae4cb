// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Shows one of the program's dialogs on its own with sample content, for screenshots of the
// user guide: showwindow frmFINDIT | frmLOADSAVE | frmRESUME | frmSTATS
//                  | frmVIEWIMAGES PICTURE [PICTURE] | frmCHECKEM FOLDER FOLDER
//                  | frmSNAPSHOT FOLDER... | frmALTVIEW FILE
// frmCHECKEM catalogues the JPEG pictures of the folders (in $VEXA_HOME) and reviews them by
// name.
#include "catalogue.h"
#include "dirlist.h"
#include "frmaltview.h"
#include "frmcheckem.h"
#include "frmfindit.h"
#include "frmresume.h"
#include "frmsnapshot.h"
#include "frmstats.h"
#include "frmviewimages.h"
#include "maincontroller.h"
#include "mainstate.h"
#include "platform.h"
#include "prescan.h"
#include "programdir.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTimer>

#include <cstdio>

namespace {

// Sample volumes for the start / resume dialog, whatever this machine has mounted.
class DemoVolumes : public Platform::Services
{
public:
    Platform::Volume make(const char *root, const char *label)
    {
        Platform::Volume v;
        v.root = QLatin1String(root);
        v.label = QLatin1String(label);
        v.valid = true;
        return v;
    }
    Platform::DriveKind driveKind(const QString &path) override
    {
        if (path.startsWith(QLatin1String("/media")))
            return Platform::DriveKind::Removable;
        if (path.startsWith(QLatin1String("/mnt")))
            return Platform::DriveKind::Remote;
        return path == QLatin1String("/dev/shm") ? Platform::DriveKind::Ram : Platform::DriveKind::Fixed;
    }
    Platform::Volume volume(const QString &) override { return make("/", ""); }
    QList<Platform::Volume> mountedVolumes() override
    {
        return {make("/", ""), make("/media/ann/STICK", "STICK"), make("/mnt/nas", "NAS"),
                make("/dev/shm", "")};
    }
    std::optional<QString> moveToTrash(const QString &) override { return std::nullopt; }
    std::optional<QString> renameFile(const QString &, const QString &) override { return QString(); }
    std::optional<QString> copyFile(const QString &, const QString &) override { return QString(); }
    std::optional<QString> removeFile(const QString &) override { return QString(); }
    Platform::InstanceLock acquireInstanceLock(const QString &) override { return Platform::InstanceLock::Taken; }
    void releaseInstanceLock() override {}
    void playSound(const QString &) override {}
    void beep() override {}
    std::optional<Platform::StartFailure> startProgram(const QString &, const QStringList &) override
    {
        return std::nullopt;
    }
    bool openHelp(const QString &, const std::function<void()> &) override { return false; }
    int screenDepth() override { return 32; }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    MainState state;
    state.lastDirectory = QDir::homePath();
    QDialog *dialog = nullptr;
    if (which == QLatin1String("frmFINDIT")) {
        dialog = new frmFINDIT(state);
    } else if (which == QLatin1String("frmLOADSAVE")) {
        ProgramDir::ensureDataDir();
        for (const char *name : {"General", "Holidays", "Scans 2024"})
            DirList::SaveList(state, QLatin1String(name));
        auto *d = new frmLOADSAVE(state, frmLOADSAVE::Action::Load);
        d->listFILES->setCurrentRow(1);
        dialog = d;
    } else if (which == QLatin1String("frmRESUME")) {
        static DemoVolumes volumes;
        Platform::setServicesForTesting(&volumes);
        state.startMode = QStringLiteral("RESUME");
        state.reactivate = QStringLiteral("/media/ann/CAMERA;/mnt/nas");
        dialog = new frmRESUME(state);
    } else if (which == QLatin1String("frmSTATS")) {
        state.sessionFilesDeleted = 2;
        state.totalFilesDeleted = 57;
        state.sessionBytesRecovered = 2114000;
        state.sessionSectorBytesRecovered = 2121728;
        state.totalBytesRecovered = 73400320;
        dialog = new frmSTATS(MainController::statsMessage(state));
    } else if (which == QLatin1String("frmVIEWIMAGES") && argc > 2) {
        const auto sizeText = [](const QString &path) {
            return path.isEmpty()
                       ? QString()
                       : QString::number(QFileInfo(path).size()) + QLatin1String(" bytes");
        };
        const QString first = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
        const QString second =
            argc > 3 ? QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath() : QString();
        auto *d = new frmVIEWIMAGES(&state);
        d->showImages(first, second, sizeText(first), sizeText(second));
        dialog = d;
    } else if ((which == QLatin1String("frmCHECKEM") && argc > 3)
               || (which == QLatin1String("frmSNAPSHOT") && argc > 2)) {
        ProgramDir::ensureDataDir();
        state.listName = QStringLiteral("Shots");
        state.thumbnailExt = QStringLiteral(".THN");
        state.filter = QStringLiteral("*");
        state.clickFileType(MainState::fileTypeIndex(QStringLiteral(".JPG")), true);
        const bool snapshot = which == QLatin1String("frmSNAPSHOT");
        for (int i = 2; i < argc; ++i)
            DirList::AddListEntry(state, QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath());
        const QString catalogue = PreScan::cataloguePath(state);
        if (!Catalogue::ensureTemplate(ProgramDir::file(QStringLiteral("vexa.mdb")))
            || !Catalogue::createFromTemplate(ProgramDir::file(QStringLiteral("vexa.mdb")), catalogue))
            return 1;
        PreScan scan(state);
        if (!scan.RunPreScan())
            return 1;
        QWidget *review = snapshot ? static_cast<QWidget *>(new frmSNAPSHOT(state, [] {}))
                                   : static_cast<QWidget *>(new frmCHECKEM(state, [] {}));
        review->setWindowTitle(MainController::reviewTitle(state));
        review->move(40, 40);
        review->show();
        // The snapshot points at its fifth picture once the pictures are in, as a user would.
        if (auto *grid = qobject_cast<frmSNAPSHOT *>(review)) {
            QTimer::singleShot(1500, grid, [grid] { grid->controller().gvbIMAGE_MouseMove(4); });
        }
        return QApplication::exec();
    } else if (which == QLatin1String("frmALTVIEW") && argc > 2) {
        state.alternateViewer = QStringLiteral("/usr/bin/display");
        frmALTVIEW &w = frmALTVIEW::instance(state);
        w.setFile(QString::fromLocal8Bit(argv[2]));
        dialog = &w;
    } else {
        std::fprintf(stderr, "usage: showwindow frmFINDIT|frmLOADSAVE|frmRESUME|frmSTATS\n"
                             "       showwindow frmVIEWIMAGES PICTURE [PICTURE]\n"
                             "       showwindow frmCHECKEM FOLDER FOLDER\n"
                             "       showwindow frmSNAPSHOT FOLDER...\n"
                             "       showwindow frmALTVIEW FILE\n");
        return 2;
    }
    dialog->move(40, 40);
    dialog->show();
    return QApplication::exec();
}
