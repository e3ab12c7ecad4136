#include "platform/Ini.h"

#include "platform/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isSpace(QChar c)
{
    return c.unicode() < 0x80 && isSpace(char(c.unicode()));
}

// Narrows [b, e) of `d` to its non-blank part.
void trim(const char* d, qsizetype& b, qsizetype& e)
{
    while (b < e && isSpace(d[b]))
        ++b;
    while (e > b && isSpace(d[e - 1]))
        --e;
}

QStringView trimmed(QStringView v)
{
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && isSpace(v[b]))
        ++b;
    while (e > b && isSpace(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

QStringView firstLineOf(QStringView v)
{
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == u'\r' || v[i] == u'\n')
            return v.first(i);
    }
    return v;
}

// A section or key name as the file will hold it: one line, trimmed, and in
// Latin-1, so a name we set is found under the same spelling after a reload.
QString fileName(QStringView name)
{
    return QString::fromLatin1(toLatin1(trimmed(firstLineOf(name)).toString()));
}

char16_t lowerLatin1(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return c + 32;
    return c < 0x80 ? c : QChar(c).toLower().unicode();
}

// The hash key of a name: fileName(name).toLower(), in one pass. Lookups
// run this for every key a map reads, so it allocates once.
QString lookupKey(QStringView name)
{
    name = trimmed(firstLineOf(name));
    QString out(name.size(), Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    qsizetype n = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.unicode() <= 0xFF) {
            o[n++] = lowerLatin1(c.unicode());
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            ++i;
        o[n++] = u'?';
    }
    out.truncate(n);
    return out;
}

QString lookupKey(const char* d, qsizetype b, qsizetype e)
{
    QString out(e - b, Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = b; i < e; ++i)
        *o++ = lowerLatin1(static_cast<unsigned char>(d[i]));
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace

IniDocument IniDocument::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

IniDocument IniDocument::fromBytes(QByteArray bytes)
{
    IniDocument doc;
    doc.parse(std::move(bytes));
    return doc;
}

void IniDocument::parse(QByteArray bytes)
{
    preamble_.clear();
    sections_.clear();
    sectionIndex_.clear();
    // Lines point into these bytes; bytes that only borrow their buffer
    // (QByteArray::fromRawData, capacity 0) are copied so the lines outlive it.
    source_ = bytes.capacity() < bytes.size() ? QByteArray(bytes.constData(), bytes.size()) : std::move(bytes);

    const char* d = source_.constData();
    const qsizetype n = source_.size();
    bool repeated = false;  // inside a section whose name came before: nothing there is looked up
    qsizetype pos = 0;
    while (pos < n) {
        const auto* nl = static_cast<const char*>(std::memchr(d + pos, '\n', size_t(n - pos)));
        qsizetype end = nl ? nl - d : n;
        const qsizetype start = pos;
        pos = nl ? end + 1 : n;
        Line::End lineEnd = nl ? Line::Lf : Line::None;
        if (nl && end > start && d[end - 1] == '\r') {
            --end;
            lineEnd = Line::CrLf;
        }
        const auto raw = [&] { return Line{QByteArray::fromRawData(d + start, end - start), -1, lineEnd}; };

        qsizetype b = start;
        qsizetype e = end;
        trim(d, b, e);

        bool header = false;
        if (b < e && d[b] == '[') {
            if (const auto* close = static_cast<const char*>(std::memchr(d + b + 1, ']', size_t(e - b - 1)))) {
                header = true;
                qsizetype nb = b + 1;
                qsizetype ne = close - d;
                trim(d, nb, ne);
                QString name = lookupKey(d, nb, ne);
                repeated = sectionIndex_.contains(name);
                if (!repeated) {
                    if (!sections_.empty()) {
                        sections_.back().lines.shrink_to_fit();
                        sections_.back().index.squeeze();
                    }
                    sectionIndex_.insert(std::move(name), int(sections_.size()));
                    sections_.push_back(Section{raw(), {}, {}, -1});
                    continue;
                }
            }
        }
        if (sections_.empty()) {
            if (!preamble_.empty()) {
                Line& last = preamble_.back();
                last.text = QByteArray::fromRawData(last.text.constData(), d + end - last.text.constData());
                last.end = lineEnd;
            } else {
                preamble_.push_back(raw());
            }
            continue;
        }

        Section& section = sections_.back();
        bool isKey = false;
        if (!header && !repeated && b < e && d[b] != ';') {
            if (const auto* eq = static_cast<const char*>(std::memchr(d + b, '=', size_t(e - b)))) {
                qsizetype kb = b;
                qsizetype ke = eq - d;
                trim(d, kb, ke);
                if (kb < ke) {
                    isKey = true;
                    QString name = lookupKey(d, kb, ke);
                    if (!section.index.contains(name)) {
                        section.lastKey = int(section.lines.size());
                        section.index.insert(std::move(name), section.lastKey);
                        Line line = raw();
                        line.valueAt = int(eq - d - start + 1);
                        section.lines.push_back(std::move(line));
                        continue;
                    }
                }
            }
        }
        // A line no lookup reaches joins the run before it, unless that run
        // ends with the section's last key: new keys go between the two.
        const int last = int(section.lines.size()) - 1;
        if (last >= 0 && section.lines.back().valueAt < 0 && (isKey || last != section.lastKey)) {
            Line& run = section.lines.back();
            run.text = QByteArray::fromRawData(run.text.constData(), d + end - run.text.constData());
            run.end = lineEnd;
        } else {
            section.lines.push_back(raw());
        }
        if (isKey)
            section.lastKey = int(section.lines.size()) - 1;
    }
    if (!sections_.empty()) {
        sections_.back().lines.shrink_to_fit();
        sections_.back().index.squeeze();
    }
}

const IniDocument::Line* IniDocument::find(QStringView section, QStringView key) const
{
    const auto s = sectionIndex_.constFind(lookupKey(section));
    if (s == sectionIndex_.cend())
        return nullptr;
    const Section& sec = sections_[size_t(*s)];
    const auto k = sec.index.constFind(lookupKey(key));
    if (k == sec.index.cend())
        return nullptr;
    return &sec.lines[size_t(*k)];
}

bool IniDocument::contains(QStringView section, QStringView key) const
{
    return find(section, key) != nullptr;
}

QString IniDocument::value(QStringView section, QStringView key) const
{
    const Line* line = find(section, key);
    if (!line)
        return {};
    const char* d = line->text.constData();
    qsizetype b = line->valueAt;
    qsizetype e = line->text.size();
    trim(d, b, e);
    if (e - b >= 2 && (d[b] == '"' || d[b] == '\'') && d[e - 1] == d[b]) {
        ++b;
        --e;
    }
    return QString::fromLatin1(d + b, std::min<qsizetype>(e - b, IniValueLimit));
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    // A name the file cannot hold as written is not set: a key line would read
    // as a comment, a section or another key, a section line as another section.
    const QString keyName = fileName(key);
    const QString sectionName = fileName(section);
    if (keyName.isEmpty() || keyName.contains(u'=') || keyName.startsWith(u';') || keyName.startsWith(u'[')
        || sectionName.contains(u']'))
        return;
    const QByteArray text = toLatin1(firstLine(value));

    QString sectionKey = sectionName.toLower();
    int si = sectionIndex_.value(sectionKey, -1);
    if (si < 0) {
        Section created;
        created.header.text = '[' + toLatin1(sectionName) + ']';
        sections_.push_back(std::move(created));
        si = int(sections_.size() - 1);
        sectionIndex_.insert(std::move(sectionKey), si);
    }
    Section& sec = sections_[size_t(si)];

    QString lower = keyName.toLower();
    if (const int at = sec.index.value(lower, -1); at >= 0) {
        // Keep the key as the file spells it.
        Line& line = sec.lines[size_t(at)];
        qsizetype kb = 0;
        qsizetype ke = line.valueAt - 1;
        trim(line.text.constData(), kb, ke);
        const QByteArray name = line.text.sliced(kb, ke - kb);
        line.text = name + '=' + text;
        line.valueAt = int(name.size() + 1);
        line.end = Line::CrLf;
        return;
    }

    // Only blank and comment lines can follow the last key, and those are
    // not indexed, so inserting here shifts no index entry.
    const QByteArray name = toLatin1(keyName);
    Line line;
    line.text = name + '=' + text;
    line.valueAt = int(name.size() + 1);
    const int at = sec.lastKey + 1;
    sec.lines.insert(sec.lines.begin() + at, std::move(line));
    sec.index.insert(std::move(lower), at);
    sec.lastKey = at;
}

QByteArray IniDocument::toBytes() const
{
    qsizetype size = 0;
    for (const Line& l : preamble_)
        size += l.text.size() + 2;
    for (const Section& s : sections_) {
        size += s.header.text.size() + 2;
        for (const Line& l : s.lines)
            size += l.text.size() + 2;
    }

    QByteArray out;
    out.reserve(size);
    bool open = false;  // the previous line had no line end (it was the file's last)
    auto put = [&](const Line& l) {
        if (open)
            out.append("\r\n", 2);
        out.append(l.text);
        switch (l.end) {
        case Line::CrLf: out.append("\r\n", 2); break;
        case Line::Lf: out.append('\n'); break;
        case Line::None: break;
        }
        open = l.end == Line::None;
    };
    for (const Line& l : preamble_)
        put(l);
    for (const Section& s : sections_) {
        put(s.header);
        for (const Line& l : s.lines)
            put(l);
    }
    return out;
}

bool IniDocument::save(const QString& path) const
{
    return writeFile(path, toBytes());
}

// --- The per-process cache behind iniRead / iniWrite ---

namespace {

// What stat tells about a file; any difference means it was replaced or written.
struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = -1;
    std::int64_t mtime = 0;  // ns
    std::int64_t ctime = 0;  // ns
    bool operator==(const Stamp&) const = default;
};

// Guarded by the cache's mutex.
std::optional<IniFrozenClock> frozenClock;

Stamp stampOf(const struct stat& st)
{
    Stamp s;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.ctime = std::int64_t(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    if (frozenClock)
        s.mtime = s.ctime = frozenClock->stampNs;
    return s;
}

bool statPath(const QString& path, Stamp& out)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out = stampOf(st);
    return true;
}

std::int64_t wallClockNs()
{
    if (frozenClock)
        return frozenClock->nowNs;
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

struct Cached {
    IniDocument doc;
    QByteArray bytes;            // the file as parsed, for the byte comparison
    Stamp stamp;
    std::int64_t seenAt = 0;     // wall clock when `bytes` were known to be the file
};

// A stamp that close to the moment we last saw the contents proves nothing:
// such files are compared byte for byte until the tick has passed.
bool mayHideChange(const Cached& c)
{
    return std::max(c.stamp.mtime, c.stamp.ctime) >= c.seenAt - IniStampTickNs;
}

bool readFile(const QString& path, QByteArray& bytes, Stamp& stamp)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    struct stat st {};
    if (::fstat(file.handle(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    stamp = stampOf(st);
    bytes = file.readAll();
    return true;
}

class IniCache {
public:
    std::mutex mutex;

    // The parse of the file as it is now; null when there is no readable file.
    Cached* current(const QString& path)
    {
        Stamp now;
        if (!statPath(path, now)) {
            files_.remove(path);
            return nullptr;
        }
        auto it = files_.find(path);
        if (it != files_.end() && it->stamp == now && !mayHideChange(*it))
            return &*it;

        Cached fresh;
        fresh.seenAt = wallClockNs();
        if (!readFile(path, fresh.bytes, fresh.stamp)) {
            files_.remove(path);
            return nullptr;
        }
        if (it != files_.end() && it->bytes == fresh.bytes) {
            it->stamp = fresh.stamp;
            it->seenAt = fresh.seenAt;
            return &*it;
        }
        fresh.doc = IniDocument::fromBytes(fresh.bytes);
        return &*files_.insert(path, std::move(fresh));
    }

    bool write(const QString& path, const QString& section, const QString& key, const QString& value)
    {
        Cached* c = current(path);
        Cached created;
        if (!c) {
            // A file we cannot read must not be replaced by a near-empty one.
            Stamp exists;
            if (statPath(path, exists))
                return false;
            c = &created;
        }
        // Edited in place: on failure the entry is dropped, so it never
        // claims what the disk does not hold.
        c->doc.setValue(section, key, value);
        const QByteArray bytes = c->doc.toBytes();
        const std::int64_t before = wallClockNs();
        if (!writeFile(path, bytes)) {
            files_.remove(path);
            return false;
        }
        Stamp stamp;
        if (!statPath(path, stamp)) {
            // Written, but already gone again: nothing worth caching.
            files_.remove(path);
            return true;
        }
        c->bytes = bytes;
        c->stamp = stamp;
        c->seenAt = before;
        if (c == &created)
            files_.insert(path, std::move(created));
        return true;
    }

    void clear() { files_.clear(); }

private:
    QHash<QString, Cached> files_;
};

IniCache& cache()
{
    static IniCache instance;
    return instance;
}

QString cacheKey(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

QString iniRead(const QString& section, const QString& key, const QString& path)
{
    if (path.isEmpty())
        return {};
    IniCache& c = cache();
    const std::lock_guard lock(c.mutex);
    const Cached* file = c.current(cacheKey(path));
    return file ? file->doc.value(section, key) : QString();
}

bool iniWrite(const QString& section, const QString& key, const QString& value, const QString& path)
{
    if (path.isEmpty())
        return false;
    IniCache& c = cache();
    const std::lock_guard lock(c.mutex);
    return c.write(cacheKey(path), section, key, value);
}

void iniForgetCache()
{
    IniCache& c = cache();
    const std::lock_guard lock(c.mutex);
    c.clear();
}

void iniFreezeClock(std::optional<IniFrozenClock> clock)
{
    IniCache& c = cache();
    const std::lock_guard lock(c.mutex);
    frozenClock = clock;
}

}  // namespace platform
