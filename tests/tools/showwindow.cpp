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
#include "fakeplatform.h"
#include "frmaltview.h"
#include "frmcheckem.h"
#include "frmfindit.h"
#include "frmresume.h"
#include "frmsnapshot.h"
#include "frmstats.h"
#include "frmviewimages.h"
#include "maincontroller.h"
#include "mainstate.h"
#include "prescan.h"
#include "programdir.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTimer>

#include <cstdio>

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
        // Sample volumes, whatever this machine has mounted.
        static FakePlatform volumes;
        volumes.addVolume("/media/ann/STICK", Platform::DriveKind::Removable, "STICK");
        volumes.addVolume("/media/ann/CAMERA", Platform::DriveKind::Removable, "CAMERA", 0, 4096, false);
        volumes.addVolume("/mnt/nas", Platform::DriveKind::Remote, "NAS");
        volumes.addVolume("/dev/shm", Platform::DriveKind::Ram);
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
