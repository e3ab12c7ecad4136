#pragma once
// INI files with the semantics of the classic profile calls: case-insensitive
// sections and keys, trimmed values with enclosing quotes dropped, the first
// occurrence wins, values read back at most 254 characters, an existing key
// rewritten in place, a new key appended to the end of its section and a new
// section appended to the end of the file. Files are Latin-1 with CR LF ends.

#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// Longest value a read returns (the classic 255-character buffer less its terminator).
inline constexpr int IniValueLimit = 254;

// A whole INI file in memory. Edit it with setValue and write it once with save:
// the result is the same as writing key by key, in one file write.
class IniDocument {
public:
    // A missing or unreadable file gives an empty document.
    static IniDocument load(const QString& path);
    // The same from the bytes of a file.
    static IniDocument fromBytes(QByteArray bytes);

    bool contains(QStringView section, QStringView key) const;
    // "" when the section or key is missing; at most IniValueLimit characters.
    QString value(QStringView section, QStringView key) const;
    // A value with line breaks keeps only its first line, so it can never add keys.
    // Names a file cannot hold (a key with '=' or beginning ';' or '[', a
    // section with ']') set nothing.
    void setValue(const QString& section, const QString& key, const QString& value);

    // Writes to a temporary file and renames it over `path`. False when that fails.
    bool save(const QString& path) const;

    QByteArray toBytes() const;

private:
    // Lines as read, written back unchanged unless set. A key line that a lookup
    // can find is a record of its own; a run of lines that no lookup reaches
    // (blank lines, comments, repeated keys, repeated sections) is one record,
    // so a file of such lines costs next to nothing beyond its bytes.
    struct Line {
        QByteArray text;     // without its last line end; unedited text points into source_
        int valueAt = -1;    // offset just past '=' on a key line a lookup finds, else -1
        enum End : char { None, Lf, CrLf } end = CrLf;  // None: a last line without one
    };
    struct Section {
        Line header;
        std::vector<Line> lines;
        QHash<QString, int> index;  // lower-case key -> its line
        int lastKey = -1;           // the record holding the section's last key; new keys go after it
    };
    QByteArray source_;                  // the bytes parsed
    std::vector<Line> preamble_;         // lines before the first section
    std::vector<Section> sections_;
    QHash<QString, int> sectionIndex_;   // lower-case name -> section

    const Line* find(QStringView section, QStringView key) const;
    void parse(QByteArray bytes);
};

// One key of one file, as the profile calls do it. Parsed files are cached per
// path (re-read when the file changes on disk), so many reads of one file parse it once.
QString iniRead(const QString& section, const QString& key, const QString& path);
// Returns false when the file could not be written.
bool iniWrite(const QString& section, const QString& key, const QString& value, const QString& path);
// Drops every cached parse (tests, and callers that just replaced files behind our back).
void iniForgetCache();

// File systems stamp a write with a coarse clock (two seconds on FAT, one on
// some network file systems), so a rewrite of the same size within one tick
// keeps the file's stamp. The cache reads a file again while its stamp lies
// within this long of the moment it last knew the contents.
inline constexpr std::int64_t IniStampTickNs = 2'000'000'000;

// A file system clock that stands still, for tests on file systems whose fine
// stamps would hide the case: every file's change times read as `stampNs`, and
// the time is `nowNs`. nullopt gives back the file system's stamps and the wall clock.
struct IniFrozenClock {
    std::int64_t stampNs = 0;
    std::int64_t nowNs = 0;
};
void iniFreezeClock(std::optional<IniFrozenClock> clock);

}  // namespace platform
