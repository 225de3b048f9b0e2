#include "shell/pictures.h"

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QMatrix4x4>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QVector3D>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <utility>
#include <vector>

namespace qm {
namespace {

constexpr double pi = std::numbers::pi;

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Paints a vertical gradient, then whatever draw() adds on top.
template <class Draw>
QPixmap picture(int width, int height, const QColor& top, const QColor& bottom, Draw draw) {
    QPixmap pixmap(width, height);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        QLinearGradient gradient(0, 0, 0, height);
        gradient.setColorAt(0, top);
        gradient.setColorAt(1, bottom);
        painter.fillRect(pixmap.rect(), gradient);
        draw(painter, QRectF(pixmap.rect()));
    }
    return pixmap;
}

// A figure label in the lower right corner, as under a plate in a textbook.
void caption(QPainter& painter, const QRectF& area, const QString& text, const QColor& colour) {
    QFont font("DejaVu Sans");
    font.setPixelSize(9);
    font.setItalic(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(area.adjusted(0, 0, -6, -4), Qt::AlignRight | Qt::AlignBottom, text);
}

// --- Three dimensions: a turn of the model, then a weak perspective seen from the front ------

QMatrix4x4 turn(float pitch, float yaw) {
    QMatrix4x4 matrix;
    matrix.rotate(pitch, 1, 0, 0);
    matrix.rotate(yaw, 0, 1, 0);
    return matrix;
}

struct projection {
    QMatrix4x4 turn;
    QPointF centre;
    double scale; // pixels per model unit at depth 0
    double eye;   // distance of the viewer from depth 0, in model units

    double depth(const QVector3D& v) const { return turn.map(v).z(); }
    double magnification(const QVector3D& v) const { return eye / (eye - depth(v)); }
    QPointF operator()(const QVector3D& v) const {
        const QVector3D seen = turn.map(v);
        const double m = eye / (eye - seen.z());
        return centre + QPointF(seen.x() * scale * m, -seen.y() * scale * m);
    }
};

// --- Ball-and-stick molecules -----------------------------------------------------------------

struct element_style {
    char symbol;
    double radius; // in Angstrom, about a third of the van der Waals radius
    QColor colour;
};

const element_style& style_of(char symbol) {
    static const element_style styles[] = {
        {'C', 0.34, QColor(72, 76, 84)},
        {'H', 0.21, QColor(236, 236, 232)},
        {'N', 0.33, QColor(48, 84, 214)},
        {'O', 0.32, QColor(212, 38, 34)},
    };
    for (const element_style& style : styles)
        if (style.symbol == symbol)
            return style;
    return styles[0];
}

struct atom {
    char element;
    QVector3D position; // Angstrom
};

struct molecule {
    std::vector<atom> atoms;
    std::vector<std::pair<int, int>> bonds;
};

void draw_ball(QPainter& painter, QPointF centre, double radius, const QColor& colour) {
    QRadialGradient shade(centre, radius, centre + QPointF(-0.38 * radius, -0.42 * radius));
    shade.setColorAt(0, mix(colour, Qt::white, 0.75));
    shade.setColorAt(0.45, colour);
    shade.setColorAt(1, colour.darker(260));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawEllipse(centre, radius, radius);
}

// A stick coloured half and half by the two atoms it joins, with a thin dark rim.
void draw_stick(QPainter& painter, QPointF from, QPointF to, double width,
                const QColor& from_colour, const QColor& to_colour) {
    const QPointF middle = (from + to) / 2;
    painter.setPen(QPen(QColor(20, 20, 24, 200), width + 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from, to);
    const QColor steel(178, 182, 188);
    painter.setPen(QPen(mix(from_colour, steel, 0.45), width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, middle);
    painter.setPen(QPen(mix(to_colour, steel, 0.45), width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(middle, to);
}

// Back to front: an atom is drawn after the sticks that lead to atoms behind it, so a stick
// pointing at the viewer covers the far ball and the near ball covers the stick.
void draw_molecule(QPainter& painter, const molecule& shape, const projection& view) {
    std::vector<int> order(shape.atoms.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return view.depth(shape.atoms[a].position) < view.depth(shape.atoms[b].position);
    });
    std::vector<bool> drawn(shape.atoms.size(), false);
    for (const int near : order) {
        const atom& a = shape.atoms[near];
        const double m = view.magnification(a.position);
        for (const auto& [first, second] : shape.bonds) {
            const int far = first == near ? second : second == near ? first : -1;
            if (far < 0 || !drawn[far])
                continue;
            const atom& b = shape.atoms[far];
            draw_stick(painter, view(b.position), view(a.position), 0.15 * view.scale * m,
                       style_of(b.element).colour, style_of(a.element).colour);
        }
        const element_style& style = style_of(a.element);
        draw_ball(painter, view(a.position), style.radius * view.scale * m, style.colour);
        drawn[near] = true;
    }
}

molecule benzene() {
    molecule shape;
    for (int k = 0; k < 6; ++k) {
        const float angle = static_cast<float>(k * pi / 3 + pi / 6);
        shape.atoms.push_back({'C', 1.39f * QVector3D(std::cos(angle), std::sin(angle), 0)});
    }
    for (int k = 0; k < 6; ++k) {
        const float angle = static_cast<float>(k * pi / 3 + pi / 6);
        shape.atoms.push_back({'H', 2.47f * QVector3D(std::cos(angle), std::sin(angle), 0)});
        shape.bonds.push_back({k, (k + 1) % 6});
        shape.bonds.push_back({k, k + 6});
    }
    return shape;
}

// Neutral glycine, the carboxyl group on the right.
molecule glycine() {
    return {{{'N', {-1.90f, 0.30f, 0.00f}},
             {'C', {-0.60f, -0.35f, 0.00f}},
             {'C', {0.60f, 0.55f, 0.00f}},
             {'O', {0.50f, 1.77f, 0.00f}},
             {'O', {1.78f, -0.08f, 0.00f}},
             {'H', {2.50f, 0.56f, 0.00f}},
             {'H', {-0.55f, -1.00f, 0.88f}},
             {'H', {-0.55f, -1.00f, -0.88f}},
             {'H', {-2.00f, 0.90f, 0.82f}},
             {'H', {-2.65f, -0.25f, -0.45f}}},
            {{0, 1}, {1, 2}, {2, 3}, {2, 4}, {4, 5}, {1, 6}, {1, 7}, {0, 8}, {0, 9}}};
}

// --- Plots ------------------------------------------------------------------------------------

double gauss(double x, double centre, double width) {
    const double u = (x - centre) / width;
    return std::exp(-0.5 * u * u);
}

void draw_arrow_head(QPainter& painter, QPointF tip, QPointF from, double size,
                     const QColor& colour) {
    const QPointF d = tip - from;
    const double length = std::hypot(d.x(), d.y());
    if (length <= 0)
        return;
    const QPointF along = d / length;
    const QPointF across(-along.y(), along.x());
    const QPolygonF head{tip, tip - along * size + across * size * 0.45,
                         tip - along * size - across * size * 0.45};
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(head);
}

void draw_band(QPainter& painter, const QRectF& plot, const QColor& colour, auto shape) {
    QPainterPath curve;
    QPainterPath filled;
    filled.moveTo(plot.left(), plot.bottom());
    constexpr int steps = 160;
    for (int i = 0; i <= steps; ++i) {
        const double x = static_cast<double>(i) / steps;
        const QPointF point(plot.left() + x * plot.width(),
                            plot.bottom() - shape(x) * plot.height());
        if (i == 0)
            curve.moveTo(point);
        else
            curve.lineTo(point);
        filled.lineTo(point);
    }
    filled.lineTo(plot.right(), plot.bottom());
    filled.closeSubpath();

    QLinearGradient fill(0, plot.top(), 0, plot.bottom());
    fill.setColorAt(0, QColor(colour.red(), colour.green(), colour.blue(), 150));
    fill.setColorAt(1, QColor(colour.red(), colour.green(), colour.blue(), 20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(filled);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour.lighter(125), 1.6));
    painter.drawPath(curve);
}

// --- The pictures -------------------------------------------------------------------------

QPixmap molecule_picture() {
    return picture(222, 162, QColor(238, 243, 249), QColor(184, 200, 220),
                   [](QPainter& painter, const QRectF& area) {
                       QRadialGradient glow(area.center(), 100);
                       glow.setColorAt(0, QColor(255, 255, 255, 170));
                       glow.setColorAt(1, QColor(255, 255, 255, 0));
                       painter.fillRect(area, glow);
                       draw_molecule(painter, glycine(),
                                     {turn(18, 28), area.center() + QPointF(0, 9), 34, 14});
                       caption(painter, area, "glycine", QColor(60, 72, 96));
                   });
}

QPixmap spectrum_picture() {
    return picture(222, 162, QColor(14, 18, 46), QColor(40, 26, 70),
                   [](QPainter& painter, const QRectF& area) {
                       const QRectF plot(20, 30, 188, 104);
                       // Faint grid behind the bands.
                       painter.setPen(QPen(QColor(255, 255, 255, 22), 1));
                       for (int i = 1; i < 6; ++i) {
                           const double x = plot.left() + plot.width() * i / 6;
                           painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
                       }
                       for (int i = 1; i < 4; ++i) {
                           const double y = plot.top() + plot.height() * i / 4;
                           painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
                       }
                       // Absorption and emission are near mirror images, each with its
                       // vibronic shoulder on the far side from the other.
                       const double absorption_peak = 0.36;
                       const double emission_peak = 0.64;
                       draw_band(painter, plot, QColor(86, 170, 255), [&](double x) {
                           return 0.92 * gauss(x, absorption_peak, 0.075) +
                                  0.38 * gauss(x, absorption_peak - 0.12, 0.06);
                       });
                       draw_band(painter, plot, QColor(255, 136, 64), [&](double x) {
                           return 0.80 * gauss(x, emission_peak, 0.08) +
                                  0.32 * gauss(x, emission_peak + 0.13, 0.065);
                       });
                       // The Stokes shift between the two maxima.
                       const double x1 = plot.left() + absorption_peak * plot.width();
                       const double x2 = plot.left() + emission_peak * plot.width();
                       const double y = plot.top() - 10;
                       painter.setPen(QPen(QColor(255, 255, 255, 120), 1, Qt::DashLine));
                       painter.drawLine(QPointF(x1, y), QPointF(x1, plot.bottom()));
                       painter.drawLine(QPointF(x2, y), QPointF(x2, plot.bottom()));
                       const QColor marker(240, 240, 255);
                       painter.setPen(QPen(marker, 1.2));
                       painter.drawLine(QPointF(x1 + 5, y), QPointF(x2 - 5, y));
                       draw_arrow_head(painter, {x1, y}, {x2, y}, 6, marker);
                       draw_arrow_head(painter, {x2, y}, {x1, y}, 6, marker);
                       // Axes.
                       painter.setPen(QPen(QColor(210, 214, 236), 1.2));
                       painter.drawLine(plot.bottomLeft(), plot.topLeft() + QPointF(0, -8));
                       painter.drawLine(plot.bottomLeft(), plot.bottomRight() + QPointF(6, 0));
                       draw_arrow_head(painter, plot.topLeft() + QPointF(0, -12), plot.bottomLeft(),
                                       5, QColor(210, 214, 236));
                       draw_arrow_head(painter, plot.bottomRight() + QPointF(10, 0),
                                       plot.bottomLeft(), 5, QColor(210, 214, 236));
                       caption(painter, area, "Stokes shift", QColor(200, 196, 236));
                   });
}

QPixmap trajectory_picture() {
    return picture(
        222, 162, QColor(12, 48, 44), QColor(4, 14, 18), [](QPainter& painter, const QRectF& area) {
            const projection view{turn(22, -32), area.center() + QPointF(0, 2), 46, 7};
            // The periodic box.
            painter.setPen(QPen(QColor(140, 220, 200, 90), 1));
            for (int axis = 0; axis < 3; ++axis)
                for (int a = -1; a <= 1; a += 2)
                    for (int b = -1; b <= 1; b += 2) {
                        QVector3D from, to;
                        from[axis] = -1;
                        to[axis] = 1;
                        from[(axis + 1) % 3] = to[(axis + 1) % 3] = a;
                        from[(axis + 2) % 3] = to[(axis + 2) % 3] = b;
                        painter.drawLine(view(from), view(to));
                    }
            // A smooth wandering path: sums of sines at unrelated frequencies.
            const auto position = [](double t) {
                const auto wander = [t](double f1, double p1, double f2, double p2, double f3,
                                        double p3) {
                    return 0.52 * std::sin(2 * pi * f1 * t + p1) +
                           0.26 * std::sin(2 * pi * f2 * t + p2) +
                           0.12 * std::sin(2 * pi * f3 * t + p3);
                };
                return QVector3D(static_cast<float>(wander(1.3, 0.2, 4.1, 1.9, 9.7, 0.4)),
                                 static_cast<float>(wander(1.7, 2.3, 3.3, 0.7, 11.3, 2.9)),
                                 static_cast<float>(wander(0.9, 4.1, 5.2, 2.2, 8.1, 1.1)));
            };
            constexpr int steps = 420;
            QPointF previous = view(position(0));
            for (int i = 1; i <= steps; ++i) {
                const double t = static_cast<double>(i) / steps;
                const QVector3D here = position(t);
                const QPointF point = view(here);
                // Early steps cool and faint, late steps warm and bright.
                QColor colour = QColor::fromHsvF(static_cast<float>(0.56 - 0.46 * t), 0.75f,
                                                 static_cast<float>(0.6 + 0.4 * t));
                colour.setAlphaF(static_cast<float>(0.35 + 0.65 * t));
                painter.setPen(QPen(colour, 0.8 + 1.2 * view.magnification(here) * t, Qt::SolidLine,
                                    Qt::RoundCap));
                painter.drawLine(previous, point);
                previous = point;
            }
            draw_ball(painter, view(position(0)), 3, QColor(90, 200, 230));
            draw_ball(painter, view(position(1)), 7, QColor(250, 196, 60));
            caption(painter, area, "MD trajectory", QColor(150, 220, 200));
        });
}

QPixmap dipole_picture() {
    return picture(
        222, 160, QColor(252, 246, 232), QColor(234, 208, 176),
        [](QPainter& painter, const QRectF& area) {
            const projection view{turn(18, -38), area.center() + QPointF(-18, 26), 78, 9};
            const QVector3D origin(0, 0, 0);
            const QColor ink(70, 58, 52);
            // Axes, with the floor grid in the x-z plane.
            painter.setPen(QPen(QColor(120, 96, 80, 60), 1));
            for (int i = 0; i <= 4; ++i) {
                const float s = i * 0.25f;
                painter.drawLine(view({s, 0, 0}), view({s, 0, 1}));
                painter.drawLine(view({0, 0, s}), view({1, 0, s}));
            }
            const QVector3D axes[] = {{1.15f, 0, 0}, {0, 1.05f, 0}, {0, 0, 1.15f}};
            const char* names[] = {"x", "y", "z"};
            QFont font("DejaVu Serif");
            font.setPixelSize(11);
            font.setItalic(true);
            for (int i = 0; i < 3; ++i) {
                painter.setPen(QPen(ink, 1.1));
                painter.drawLine(view(origin), view(axes[i]));
                draw_arrow_head(painter, view(axes[i]), view(origin), 6, ink);
                painter.setFont(font);
                painter.setPen(ink);
                painter.drawText(view(axes[i] * 1.1f) + QPointF(-3, 4), names[i]);
            }
            // Two transition dipoles, their shadows on the floor and their angle.
            const QVector3D first(0.85f, 0.55f, 0.20f);
            const QVector3D second(0.25f, 0.70f, 0.80f);
            const QColor colours[] = {QColor(196, 30, 58), QColor(28, 68, 160)};
            const QVector3D tips[] = {first, second};
            for (int i = 0; i < 2; ++i) {
                const QVector3D floor(tips[i].x(), 0, tips[i].z());
                painter.setPen(QPen(QColor(120, 96, 80, 140), 1, Qt::DashLine));
                painter.drawLine(view(tips[i]), view(floor));
                painter.drawLine(view(origin), view(floor));
            }
            QPainterPath arc;
            constexpr int steps = 24;
            for (int i = 0; i <= steps; ++i) {
                const float t = static_cast<float>(i) / steps;
                const QVector3D direction =
                    (first.normalized() * (1 - t) + second.normalized() * t).normalized();
                const QPointF point = view(direction * 0.52f);
                if (i == 0)
                    arc.moveTo(point);
                else
                    arc.lineTo(point);
            }
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor(150, 90, 30), 1.3));
            painter.drawPath(arc);
            QFont theta("DejaVu Serif");
            theta.setPixelSize(12);
            theta.setItalic(true);
            painter.setFont(theta);
            const QVector3D bisector = (first.normalized() + second.normalized());
            painter.drawText(view(bisector.normalized() * 0.64f) + QPointF(-3, 5),
                             QString(QChar(0x03B8)));
            for (int i = 0; i < 2; ++i) {
                const QPointF tip = view(tips[i]);
                const QPointF base = view(tips[i] * 0.88f);
                painter.setPen(QPen(colours[i], 2.6, Qt::SolidLine, Qt::RoundCap));
                painter.drawLine(view(origin), base);
                draw_arrow_head(painter, tip, view(origin), 11, colours[i]);
            }
            draw_ball(painter, view(origin), 3.5, QColor(90, 80, 74));
            caption(painter, area, "TDM angle", QColor(110, 80, 60));
        });
}

} // namespace

QPixmap start_picture() {
    return picture(
        225, 161, QColor(22, 40, 92), QColor(6, 12, 36), [](QPainter& painter, const QRectF& area) {
            // A faint starfield of dots gives the dark blue some depth.
            painter.setPen(Qt::NoPen);
            unsigned seed = 12345;
            for (int i = 0; i < 70; ++i) {
                seed = seed * 1103515245u + 12345u;
                const double x = (seed >> 8) % 225;
                seed = seed * 1103515245u + 12345u;
                const double y = (seed >> 8) % 161;
                painter.setBrush(QColor(200, 220, 255, 30 + static_cast<int>(seed % 60)));
                painter.drawEllipse(QPointF(x, y), 0.8, 0.8);
            }
            QRadialGradient glow(QPointF(112, 60), 84);
            glow.setColorAt(0, QColor(110, 160, 255, 90));
            glow.setColorAt(1, QColor(110, 160, 255, 0));
            painter.fillRect(area, glow);

            const projection view{turn(-52, 14), QPointF(112, 60), 22, 10};
            // The aromatic ring inside the hexagon, in the plane of the carbons.
            QPainterPath ring;
            for (int i = 0; i <= 48; ++i) {
                const float angle = static_cast<float>(2 * pi * i / 48);
                const QPointF point = view(0.82f * QVector3D(std::cos(angle), std::sin(angle), 0));
                if (i == 0)
                    ring.moveTo(point);
                else
                    ring.lineTo(point);
            }
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor(170, 200, 255, 170), 1.4, Qt::DashLine));
            painter.drawPath(ring);
            draw_molecule(painter, benzene(), view);

            QFont title("DejaVu Serif");
            title.setPixelSize(24);
            title.setBold(true);
            title.setItalic(true);
            painter.setFont(title);
            const QRectF band(0, 112, area.width(), 32);
            painter.setPen(QColor(0, 0, 0, 140));
            painter.drawText(band.translated(1.5, 1.5), Qt::AlignCenter, "Quillmark");
            painter.setPen(QColor(240, 244, 255));
            painter.drawText(band, Qt::AlignCenter, "Quillmark");
            QFont line("DejaVu Sans");
            line.setPixelSize(9);
            painter.setFont(line);
            painter.setPen(QColor(160, 186, 236));
            painter.drawText(QRectF(0, 140, area.width(), 16), Qt::AlignCenter,
                             "computational chemistry toolbox");
        });
}

QPixmap menu_picture(int number) {
    switch (number) {
    case 101:
        return molecule_picture();
    case 102:
        return spectrum_picture();
    case 103:
        return trajectory_picture();
    case 104:
        return dipole_picture();
    default:
        return {};
    }
}

QPixmap time_picture(time_drawing drawing) {
    constexpr int side = 56;
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 60, 110);
    if (drawing == time_drawing::clock) {
        QRadialGradient face(QPointF(24, 22), 30);
        face.setColorAt(0, QColor(255, 255, 255));
        face.setColorAt(1, QColor(200, 214, 240));
        painter.setBrush(face);
        painter.setPen(QPen(ink, 2.5));
        painter.drawEllipse(QPointF(28, 28), 24, 24);
        // The twelve hour marks, then the hands at ten past ten.
        painter.setPen(QPen(ink, 1.5));
        for (int hour = 0; hour < 12; ++hour) {
            const double a = 2 * pi * hour / 12;
            painter.drawLine(QPointF(28 + 19 * std::sin(a), 28 - 19 * std::cos(a)),
                             QPointF(28 + 22 * std::sin(a), 28 - 22 * std::cos(a)));
        }
        painter.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(28, 28), QPointF(28 - 11 * std::sin(pi / 3), 28 - 11 * 0.5));
        painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(28, 28), QPointF(28 + 17 * std::sin(pi / 3), 28 - 17 * 0.5));
        return pixmap;
    }
    // An hourglass with most of its sand run through.
    painter.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(12, 5), QPointF(44, 5));
    painter.drawLine(QPointF(12, 51), QPointF(44, 51));
    QPainterPath glass;
    glass.moveTo(15, 7);
    glass.cubicTo(15, 24, 27, 24, 27, 28);
    glass.cubicTo(27, 32, 15, 32, 15, 49);
    glass.lineTo(41, 49);
    glass.cubicTo(41, 32, 29, 32, 29, 28);
    glass.cubicTo(29, 24, 41, 24, 41, 7);
    glass.closeSubpath();
    painter.setPen(QPen(ink, 1.5));
    painter.setBrush(QColor(225, 235, 250));
    painter.drawPath(glass);
    const QColor sand(214, 170, 90);
    painter.setPen(Qt::NoPen);
    painter.setBrush(sand);
    painter.drawPolygon(QPolygonF({QPointF(20, 16), QPointF(36, 16), QPointF(28, 26)}));
    painter.drawPolygon(QPolygonF({QPointF(17, 48), QPointF(39, 48), QPointF(28, 36)}));
    painter.setPen(QPen(sand, 1));
    painter.drawLine(QPointF(28, 27), QPointF(28, 40));
    return pixmap;
}

} // namespace qm
