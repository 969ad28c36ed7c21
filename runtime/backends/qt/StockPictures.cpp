#include "runtime/backends/qt/StockPictures.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <map>

#include "runtime/backends/qt/QtSupport.h"

namespace rt::qt {

namespace {

// Every picture is drawn on a 32 by 32 grid and scaled by the painter.
using Drawing = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 48);
const QColor kBlue(38, 110, 200);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);
const QColor kPaper(250, 250, 245);

void page(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(7, 3);
    sheet.lineTo(20, 3);
    sheet.lineTo(26, 9);
    sheet.lineTo(26, 29);
    sheet.lineTo(7, 29);
    sheet.closeSubpath();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawPolyline(QPolygonF({QPointF(20, 3), QPointF(20, 9), QPointF(26, 9)}));
}

void arrowHead(QPainter& p, QPointF tip, QPointF back1, QPointF back2, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({tip, back1, back2}));
}

void textOn(QPainter& p, const QRectF& box, const QString& text, const QColor& colour) {
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(static_cast<int>(box.height() * 0.8));
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

const std::map<std::string, Drawing>& drawings() {
    static const std::map<std::string, Drawing> kDrawings{
        // A window with an arrow going into it.
        {"go-jump",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(kPaper);
             p.drawRect(QRectF(12, 6, 17, 20));
             p.setBrush(kBlue);
             p.drawRect(QRectF(12, 6, 17, 4));
             p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::FlatCap));
             p.drawLine(QPointF(2, 18), QPointF(14, 18));
             arrowHead(p, {23, 18}, {13, 10}, {13, 26}, kGreen);
         }},
        // A go button: a triangle in a ring.
        {"system-run",
         [](QPainter& p) {
             p.setPen(QPen(kGreen.darker(130), 2));
             p.setBrush(kGreen.lighter(160));
             p.drawEllipse(QRectF(3, 3, 26, 26));
             arrowHead(p, {24, 16}, {12, 8}, {12, 24}, kGreen.darker(130));
         }},
        // A diskette.
        {"document-save",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(kBlue);
             p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(8, 4, 16, 10));
             p.setBrush(QColor(190, 190, 200));
             p.drawRect(QRectF(10, 19, 12, 9));
             p.setBrush(kInk);
             p.drawRect(QRectF(18, 6, 3, 6));
         }},
        // A red cross.
        {"edit-delete",
         [](QPainter& p) {
             p.setPen(QPen(kRed, 5, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(7, 7), QPointF(25, 25));
             p.drawLine(QPointF(25, 7), QPointF(7, 25));
         }},
        // Two arrows chasing each other round a circle.
        {"view-refresh",
         [](QPainter& p) {
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(kBlue, 3.5, Qt::SolidLine, Qt::FlatCap));
             QRectF ring(6, 6, 20, 20);
             p.drawArc(ring, 20 * 16, 140 * 16);
             p.drawArc(ring, 200 * 16, 140 * 16);
             arrowHead(p, {4, 10}, {12, 15}, {3, 19}, kBlue);
             arrowHead(p, {28, 22}, {20, 17}, {29, 13}, kBlue);
         }},
        // A question mark in a blue disc.
        {"help-contents",
         [](QPainter& p) {
             p.setPen(QPen(kBlue.darker(140), 1.5));
             p.setBrush(kBlue);
             p.drawEllipse(QRectF(3, 3, 26, 26));
             textOn(p, QRectF(3, 5, 26, 24), QStringLiteral("?"), Qt::white);
         }},
        // A blank page with a star at its corner.
        {"document-new",
         [](QPainter& p) {
             page(p);
             p.setPen(QPen(QColor(230, 170, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
             QPointF c(22, 23);
             for (int i = 0; i < 4; ++i) {
                 QTransform turn;
                 turn.rotate(45.0 * i);
                 QPointF d = turn.map(QPointF(6, 0));
                 p.drawLine(c - d, c + d);
             }
         }},
        // Lines inside a dashed frame.
        {"edit-select-all",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5, Qt::DashLine));
             p.setBrush(QColor(200, 220, 250));
             p.drawRect(QRectF(3, 3, 26, 26));
             p.setPen(QPen(kBlue.darker(130), 2.5, Qt::SolidLine, Qt::FlatCap));
             for (int y : {10, 16, 22})
                 p.drawLine(QPointF(8, y), QPointF(24, y));
         }},
        // A green plus.
        {"list-add",
         [](QPainter& p) {
             p.setPen(QPen(kGreen, 6, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(16, 6), QPointF(16, 26));
             p.drawLine(QPointF(6, 16), QPointF(26, 16));
         }},
        // A red minus.
        {"list-remove",
         [](QPainter& p) {
             p.setPen(QPen(kRed, 6, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(6, 16), QPointF(26, 16));
         }},
        // A microphone on its stand: the program's own picture.
        {"audio-input-microphone",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5));
             p.setBrush(QColor(90, 90, 110));
             p.drawRoundedRect(QRectF(11, 2, 10, 18), 5, 5);
             p.setPen(QPen(QColor(200, 200, 215), 1));
             for (int y : {7, 10, 13})
                 p.drawLine(QPointF(13, y), QPointF(19, y));
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
             p.drawArc(QRectF(7, 6, 18, 18), 200 * 16, 140 * 16);
             p.drawLine(QPointF(16, 24), QPointF(16, 29));
             p.drawLine(QPointF(10, 29), QPointF(22, 29));
             p.setPen(QPen(kRed, 2.5, Qt::SolidLine, Qt::RoundCap));
             p.drawPoint(QPointF(16, 4.5));
         }},
        // A globe.
        {"web-browser",
         [](QPainter& p) {
             p.setPen(QPen(kBlue.darker(150), 1.5));
             p.setBrush(kBlue.lighter(140));
             p.drawEllipse(QRectF(3, 3, 26, 26));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(10, 3, 12, 26));
             p.drawLine(QPointF(16, 3), QPointF(16, 29));
             p.drawLine(QPointF(3, 16), QPointF(29, 16));
             p.drawLine(QPointF(6, 9), QPointF(26, 9));
             p.drawLine(QPointF(6, 23), QPointF(26, 23));
         }},
    };
    return kDrawings;
}

QPixmap drawn(const Drawing& drawing, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    drawing(p);
    return pixmap;
}

} // namespace

QIcon stockPicture(const std::string& name) {
    if (name.empty())
        return {};
    auto it = drawings().find(name);
    if (it == drawings().end()) {
        QString file = toQt(name);
        return QFile::exists(file) ? QIcon(file) : QIcon();
    }
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(drawn(it->second, size));
    return icon;
}

} // namespace rt::qt
