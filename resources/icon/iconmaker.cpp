// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the application icon and writes it as a Windows ICO, as hicolor PNGs
// and as a scalable SVG. All three come from the one geometry below, so the
// bitmaps and the vector file cannot drift apart.
//
// Usage: iconmaker <output-dir> <app-id>

#include <QBrush>
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int masterSize = 256;
constexpr int pngSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Below this size the turning arrows would shrink to a smudge, so the
// mark is reduced to its bars.
constexpr int smallestWithArrows = 22;
// From this size up the shapes are large enough to carry a soft shadow.
constexpr int smallestWithShadow = 48;

constexpr int masterBarWidth = 16;
constexpr int masterBarGap = 8;
constexpr int masterBarHeights[] = {44, 84, 120, 92, 52};

const QColor backgroundTop(0x12, 0xc2, 0xb0);
const QColor backgroundBottom(0x3b, 0x36, 0xc9);

struct Layer
{
    QPainterPath path;
    QBrush brush;
};

struct BarSet
{
    int width;
    int gap;
    std::vector<int> heights;
};

QPointF polar(QPointF centre, double radius, double degrees)
{
    const double r = qDegreesToRadians(degrees);
    return centre + QPointF(radius * std::cos(r), radius * std::sin(r));
}

QRectF circleRect(QPointF centre, double radius)
{
    return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

// Angles are on-screen degrees growing clockwise (y points down); QPainterPath
// arcs count counter-clockwise, hence the negations.
QPainterPath turningArrow(QPointF centre, double radius, double width, double headHalfWidth,
                          double tailAngle, double headAngle, double tipAngle)
{
    const double outer = radius + width / 2;
    const double inner = radius - width / 2;
    const double sweep = headAngle - tailAngle;

    QPainterPath path;
    path.moveTo(polar(centre, outer, tailAngle));
    path.arcTo(circleRect(centre, outer), -tailAngle, -sweep);
    path.lineTo(polar(centre, radius + headHalfWidth, headAngle));
    path.lineTo(polar(centre, radius, tipAngle));
    path.lineTo(polar(centre, radius - headHalfWidth, headAngle));
    path.lineTo(polar(centre, inner, headAngle));
    path.arcTo(circleRect(centre, inner), -headAngle, sweep);
    // Round tail, turning away from the direction of travel.
    path.arcTo(circleRect(polar(centre, radius, tailAngle), width / 2), -(tailAngle + 180), -180);
    path.closeSubpath();
    return path;
}

// Bar rectangles land on whole pixels at every size so the small icons stay crisp.
BarSet barsFor(int size)
{
    switch (size) {
    case 16:
        return {2, 2, {6, 12, 8}};
    case 22:
        return {2, 1, {4, 8, 6}};
    case 24:
        return {2, 1, {4, 10, 6}};
    case 32:
        return {2, 1, {4, 8, 14, 10, 6}};
    default: {
        const double scale = double(size) / masterSize;
        BarSet bars{int(std::lround(masterBarWidth * scale)),
                    int(std::lround(masterBarGap * scale)), {}};
        for (int master : masterBarHeights) {
            int h = int(std::lround(master * scale));
            h += (size - h) % 2;
            bars.heights.push_back(h);
        }
        return bars;
    }
    }
}

QPainterPath barsPath(int size)
{
    const BarSet bars = barsFor(size);
    const int count = int(bars.heights.size());
    const int total = count * bars.width + (count - 1) * bars.gap;
    // Rounded ends on bars narrower than this just turn into blurred pixels.
    const double corner = bars.width >= 3 ? bars.width / 2.0 : 0.0;

    // With an odd leftover the bars sit half a pixel off centre rather than
    // straddle pixel edges.
    QPainterPath path;
    int x = (size - total) / 2;
    for (int h : bars.heights) {
        const QRectF rect(x, (size - h) / 2, bars.width, h);
        if (corner > 0)
            path.addRoundedRect(rect, corner, corner);
        else
            path.addRect(rect);
        x += bars.width + bars.gap;
    }
    return path;
}

QPainterPath arrowsPath(int size)
{
    const double scale = double(size) / masterSize;
    const QPointF centre(size / 2.0, size / 2.0);
    // Strokes get no thinner than two pixels, and the ring's top and bottom
    // edges sit on pixel boundaries; a one-pixel or straddling arc only blurs.
    const double width = std::max(2.0, std::round(20 * scale));
    const double radius = std::round(92 * scale) - width / 2;
    // Small heads would vanish into the stroke.
    const double headHalfWidth = std::max(25 * scale, width + 1);
    const QPainterPath arrow = turningArrow(centre, radius, width, headHalfWidth, 200, 318, 346);

    QTransform halfTurn;
    halfTurn.translate(centre.x(), centre.y()).rotate(180).translate(-centre.x(), -centre.y());
    QPainterPath both = arrow;
    both.addPath(halfTurn.map(arrow));
    return both;
}

std::vector<Layer> iconLayers(int size)
{
    const double scale = double(size) / masterSize;
    const double margin = size <= 16 ? 0.0 : std::max(1.0, std::round(8 * scale));
    const double corner = 54 * scale;
    const QRectF square(margin, margin, size - 2 * margin, size - 2 * margin);

    std::vector<Layer> layers;

    QPainterPath background;
    background.addRoundedRect(square, corner, corner);
    QLinearGradient fill(square.topLeft(), square.bottomRight());
    fill.setColorAt(0, backgroundTop);
    fill.setColorAt(1, backgroundBottom);
    layers.push_back({background, QBrush(fill)});

    // Light from above: lifts the top edge off dark backgrounds.
    QLinearGradient sheen(0, square.top(), 0, square.center().y());
    sheen.setColorAt(0, QColor(255, 255, 255, 64));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    layers.push_back({background, QBrush(sheen)});

    QPainterPath mark = barsPath(size);
    if (size >= smallestWithArrows)
        mark.addPath(arrowsPath(size));
    mark.setFillRule(Qt::WindingFill);

    // Two offset copies make a soft shadow without a blur, which SVG would
    // only give through a filter that not every icon renderer supports.
    if (size >= smallestWithShadow) {
        layers.push_back({mark.translated(0, 6 * scale), QBrush(QColor(10, 12, 60, 28))});
        layers.push_back({mark.translated(0, 3 * scale), QBrush(QColor(10, 12, 60, 48))});
    }
    layers.push_back({mark, QBrush(Qt::white)});
    return layers;
}

QImage render(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const Layer &layer : iconLayers(size)) {
        painter.setBrush(layer.brush);
        painter.drawPath(layer.path);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString number(double value)
{
    QString text = QString::number(value, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString point(double x, double y)
{
    return number(x) + QLatin1Char(' ') + number(y);
}

QString pathData(const QPainterPath &path)
{
    QStringList parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                parts << QStringLiteral("Z");
            parts << QStringLiteral("M") + point(e.x, e.y);
            break;
        case QPainterPath::LineToElement:
            parts << QStringLiteral("L") + point(e.x, e.y);
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            parts << QStringLiteral("C") + point(e.x, e.y) + QLatin1Char(' ') + point(c2.x, c2.y)
                         + QLatin1Char(' ') + point(end.x, end.y);
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (!parts.isEmpty())
        parts << QStringLiteral("Z");
    return parts.join(QLatin1Char(' '));
}

QString colourAttributes(const QColor &colour, const char *name, const char *opacityName)
{
    QString text = QStringLiteral("%1=\"%2\"").arg(QLatin1String(name), colour.name(QColor::HexRgb));
    if (colour.alpha() < 255)
        text += QStringLiteral(" %1=\"%2\"").arg(QLatin1String(opacityName), number(colour.alphaF()));
    return text;
}

QByteArray svgDocument()
{
    QString defs;
    QString shapes;
    int gradientCount = 0;
    for (const Layer &layer : iconLayers(masterSize)) {
        QString fill;
        if (layer.brush.style() == Qt::LinearGradientPattern) {
            const auto *gradient = static_cast<const QLinearGradient *>(layer.brush.gradient());
            const QString id = QStringLiteral("gradient%1").arg(++gradientCount);
            defs += QStringLiteral("    <linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" "
                                   "x1=\"%2\" y1=\"%3\" x2=\"%4\" y2=\"%5\">\n")
                        .arg(id, number(gradient->start().x()), number(gradient->start().y()),
                             number(gradient->finalStop().x()), number(gradient->finalStop().y()));
            for (const QGradientStop &stop : gradient->stops())
                defs += QStringLiteral("      <stop offset=\"%1\" %2/>\n")
                            .arg(number(stop.first),
                                 colourAttributes(stop.second, "stop-color", "stop-opacity"));
            defs += QStringLiteral("    </linearGradient>\n");
            fill = QStringLiteral("fill=\"url(#%1)\"").arg(id);
        } else {
            fill = colourAttributes(layer.brush.color(), "fill", "fill-opacity");
        }
        const QString rule = layer.path.fillRule() == Qt::WindingFill ? QStringLiteral("nonzero")
                                                                      : QStringLiteral("evenodd");
        shapes += QStringLiteral("  <path %1 fill-rule=\"%2\" d=\"%3\"/>\n")
                      .arg(fill, rule, pathData(layer.path));
    }

    const QString size = QString::number(masterSize);
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                                 "viewBox=\"0 0 %1 %1\">\n")
                      .arg(size);
    if (!defs.isEmpty())
        svg += QStringLiteral("  <defs>\n") + defs + QStringLiteral("  </defs>\n");
    svg += shapes + QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

void appendLittleEndian(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

// One 256x256 PNG-compressed entry; a width and height byte of 0 stands for 256.
QByteArray icoContainer(const QByteArray &png)
{
    constexpr int headerSize = 6 + 16;
    QByteArray ico;
    appendLittleEndian(ico, 0, 2); // reserved
    appendLittleEndian(ico, 1, 2); // icon, not cursor
    appendLittleEndian(ico, 1, 2); // image count
    appendLittleEndian(ico, 0, 1); // width
    appendLittleEndian(ico, 0, 1); // height
    appendLittleEndian(ico, 0, 1); // no palette
    appendLittleEndian(ico, 0, 1); // reserved
    appendLittleEndian(ico, 1, 2); // colour planes
    appendLittleEndian(ico, 32, 2); // bits per pixel
    appendLittleEndian(ico, quint32(png.size()), 4);
    appendLittleEndian(ico, headerSize, 4);
    return ico + png;
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        std::fprintf(stderr, "iconmaker: cannot create the folder for %s\n", qPrintable(path));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()
        || !file.commit()) {
        std::fprintf(stderr, "iconmaker: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: iconmaker <output-dir> <app-id>\n");
        return 2;
    }
    const QString outputDir = QString::fromLocal8Bit(argv[1]);
    const QString appId = QString::fromLocal8Bit(argv[2]);
    if (appId.isEmpty() || appId.contains(QLatin1Char('/'))) {
        std::fprintf(stderr, "iconmaker: the app id must be a plain file name\n");
        return 2;
    }
    const QDir out(outputDir);

    for (int size : pngSizes) {
        const QByteArray png = pngBytes(render(size));
        if (png.isEmpty()) {
            std::fprintf(stderr, "iconmaker: cannot encode the %dx%d PNG\n", size, size);
            return 1;
        }
        const QString dir = QStringLiteral("hicolor/%1x%1/apps/").arg(size);
        if (!writeFile(out.filePath(dir + appId + QStringLiteral(".png")), png))
            return 1;
        if (size == masterSize
            && !writeFile(out.filePath(appId + QStringLiteral(".ico")), icoContainer(png)))
            return 1;
    }

    if (!writeFile(out.filePath(QStringLiteral("hicolor/scalable/apps/") + appId
                                + QStringLiteral(".svg")),
                   svgDocument()))
        return 1;
    return 0;
}
