// GIF output through giflib: Qt reads GIF but cannot write it.

#include "Art.h"

#include <QFile>
#include <QHash>

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <vector>

namespace art {

namespace {

struct Entry {
    QRgb colour;
    int count;
};

int channel(QRgb c, int i) { return i == 0 ? qRed(c) : i == 1 ? qGreen(c) : qBlue(c); }

// Median cut over the non-black colours. Black is never part of a box, so no
// colour can fall into it or out of it.
std::vector<QRgb> medianCut(std::vector<Entry> colours, int wanted)
{
    struct Box {
        size_t begin, end;
    };
    std::vector<Box> boxes{{0, colours.size()}};
    auto range = [&](const Box& b, int ch) {
        int lo = 255, hi = 0;
        for (size_t i = b.begin; i < b.end; ++i) {
            lo = std::min(lo, channel(colours[i].colour, ch));
            hi = std::max(hi, channel(colours[i].colour, ch));
        }
        return hi - lo;
    };
    while (int(boxes.size()) < wanted) {
        int best = -1, bestRange = 0, bestChannel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2)
                continue;
            for (int ch = 0; ch < 3; ++ch) {
                const int r = range(boxes[i], ch);
                if (r > bestRange) {
                    bestRange = r;
                    best = int(i);
                    bestChannel = ch;
                }
            }
        }
        if (best < 0)
            break;
        Box b = boxes[size_t(best)];
        std::sort(colours.begin() + long(b.begin), colours.begin() + long(b.end),
                  [&](const Entry& x, const Entry& y) { return channel(x.colour, bestChannel) < channel(y.colour, bestChannel); });
        long total = 0;
        for (size_t i = b.begin; i < b.end; ++i)
            total += colours[i].count;
        long seen = 0;
        size_t cut = b.begin + 1;
        for (size_t i = b.begin; i < b.end - 1; ++i) {
            seen += colours[i].count;
            cut = i + 1;
            if (seen * 2 >= total)
                break;
        }
        boxes[size_t(best)] = {b.begin, cut};
        boxes.push_back({cut, b.end});
    }
    std::vector<QRgb> palette;
    for (const Box& b : boxes) {
        double r = 0, g = 0, bl = 0, n = 0;
        for (size_t i = b.begin; i < b.end; ++i) {
            r += qRed(colours[i].colour) * double(colours[i].count);
            g += qGreen(colours[i].colour) * double(colours[i].count);
            bl += qBlue(colours[i].colour) * double(colours[i].count);
            n += colours[i].count;
        }
        QRgb c = qRgb(int(r / n + 0.5), int(g / n + 0.5), int(bl / n + 0.5));
        if ((c & 0xFFFFFFu) == 0)
            c = qRgb(1, 1, 1);
        palette.push_back(c);
    }
    return palette;
}

struct Indexed {
    std::vector<QRgb> palette;  // black first when present
    std::vector<GifPixelType> pixels;
    int width = 0, height = 0;
};

Indexed index(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Indexed out;
    out.width = image.width();
    out.height = image.height();

    QHash<QRgb, int> counts;
    bool hasBlack = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] & 0xFFFFFFu;
            if (c == 0)
                hasBlack = true;
            else
                ++counts[c];
        }
    }
    const int room = hasBlack ? 255 : 256;
    std::vector<QRgb> colours;
    if (counts.size() <= room) {
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            colours.push_back(it.key());
        std::sort(colours.begin(), colours.end());
    } else {
        std::vector<Entry> entries;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            entries.push_back({it.key(), it.value()});
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.colour < b.colour; });
        colours = medianCut(std::move(entries), room);
        for (QRgb& c : colours)
            c &= 0xFFFFFFu;
    }
    if (hasBlack)
        out.palette.push_back(0);
    const int first = int(out.palette.size());
    out.palette.insert(out.palette.end(), colours.begin(), colours.end());

    QHash<QRgb, int> lookup;
    auto nearest = [&](QRgb c) {
        if (c == 0)
            return 0;
        const auto found = lookup.constFind(c);
        if (found != lookup.cend())
            return found.value();
        int best = first;
        long bestDist = -1;
        for (int i = first; i < int(out.palette.size()); ++i) {
            const QRgb p = out.palette[size_t(i)];
            const long dr = qRed(p) - qRed(c), dg = qGreen(p) - qGreen(c), db = qBlue(p) - qBlue(c);
            const long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
            if (bestDist < 0 || d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        lookup.insert(c, best);
        return best;
    };
    out.pixels.resize(size_t(out.width * out.height));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out.pixels[size_t(y * out.width + x)] = GifPixelType(nearest(line[x] & 0xFFFFFFu));
    }
    return out;
}

}  // namespace

QImage gifColours(const QImage& image)
{
    const Indexed ix = index(image);
    QImage out(ix.width, ix.height, QImage::Format_RGB32);
    for (int y = 0; y < ix.height; ++y)
        for (int x = 0; x < ix.width; ++x)
            out.setPixel(x, y, 0xFF000000u | ix.palette[ix.pixels[size_t(y * ix.width + x)]]);
    return out;
}

bool writeGif(const QImage& image, const QString& path)
{
    const Indexed ix = index(image);
    int mapSize = 2;
    while (mapSize < int(ix.palette.size()))
        mapSize *= 2;
    std::vector<GifColorType> colours(size_t(mapSize), GifColorType{0, 0, 0});
    for (size_t i = 0; i < ix.palette.size(); ++i)
        colours[i] = {GifByteType(qRed(ix.palette[i])), GifByteType(qGreen(ix.palette[i])), GifByteType(qBlue(ix.palette[i]))};

    int error = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
    if (!gif)
        return false;
    ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
    bool ok = map && EGifPutScreenDesc(gif, ix.width, ix.height, 8, 0, map) == GIF_OK;
    ok = ok && EGifPutImageDesc(gif, 0, 0, ix.width, ix.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(size_t(ix.width));
    for (int y = 0; ok && y < ix.height; ++y) {
        std::copy_n(ix.pixels.begin() + long(y) * ix.width, ix.width, line.begin());
        ok = EGifPutLine(gif, line.data(), ix.width) == GIF_OK;
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    if (map)
        GifFreeMapObject(map);
    return ok;
}

}  // namespace art
