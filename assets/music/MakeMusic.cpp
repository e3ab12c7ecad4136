// Composes the game's music and writes it into the program folder:
//   vf-makemusic <folder> [file names...]   (no names: every piece)
// Each file is read back and its length checked, so a broken piece fails the build.
#include "Pieces.h"

#include "platform/MidiFile.h"

#include <QDir>

#include <cstdio>
#include <exception>

namespace {

// Long enough not to repeat all the time, short enough that turns bring variety.
constexpr double ShortestSeconds = 60.0;
constexpr double LongestSeconds = 120.0;

bool write(const music::Piece& piece, const QDir& folder)
{
    const QString path = folder.filePath(QString::fromUtf8(piece.fileName));
    try {
        if (!piece.compose().save(path)) {
            std::fprintf(stderr, "vf-makemusic: cannot write %s\n", qPrintable(path));
            return false;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vf-makemusic: %s: %s\n", piece.fileName, e.what());
        return false;
    }
    const auto info = platform::midi::readFile(path);
    if (!info || info->seconds < ShortestSeconds || info->seconds > LongestSeconds) {
        std::fprintf(stderr, "vf-makemusic: %s is %s\n", piece.fileName,
                     info ? qPrintable(QStringLiteral("%1 s long").arg(info->seconds, 0, 'f', 1)) : "unreadable");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: vf-makemusic <folder> [file names...]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "vf-makemusic: no folder %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    if (argc == 2) {
        for (const music::Piece& piece : music::pieces())
            ok = write(piece, folder) && ok;
        return ok ? 0 : 1;
    }
    for (int i = 2; i < argc; ++i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        const music::Piece* found = nullptr;
        for (const music::Piece& piece : music::pieces()) {
            if (name == QString::fromUtf8(piece.fileName))
                found = &piece;
        }
        if (!found) {
            std::fprintf(stderr, "vf-makemusic: no piece called %s\n", argv[i]);
            ok = false;
            continue;
        }
        ok = write(*found, folder) && ok;
    }
    return ok ? 0 : 1;
}
