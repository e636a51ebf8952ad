#include "app/pages/workpiece/workpiece_page.h"

#include "gui/fields/field_layout.h"
#include "app/dialogs/mass/form_mass.h"
#include "app/platform/help_viewer.h"
#include "app/platform/program_starter.h"
#include "core/data/string_query.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/field_binding.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The direction the workpiece is seen from: turned 30° about Z, looking 22° down.
const double kCosTurn = std::cos(30.0 * std::numbers::pi / 180.0);
const double kSinTurn = std::sin(30.0 * std::numbers::pi / 180.0);
const double kCosTilt = std::cos(22.0 * std::numbers::pi / 180.0);
const double kSinTilt = std::sin(22.0 * std::numbers::pi / 180.0);
constexpr int kCircleSteps = 96;
const QColor kOutline(96, 76, 0);

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

bool Positive(double x) {
    return std::isfinite(x) && x > 0.0;
}

// Points of a circle of radius r about the workpiece axis `axis` (0 X, 1 Y, 2 Z) at the
// position `at` along it.
template <class F>
void CircleAbout(int axis, double at, double r, F&& point) {
    for (int i = 0; i < kCircleSteps; ++i) {
        const double t = 2.0 * std::numbers::pi * i / kCircleSteps;
        const double u = r * std::cos(t), v = r * std::sin(t);
        switch (axis) {
        case 0: point(at, u, v); break;
        case 1: point(u, at, v); break;
        default: point(u, v, at); break;
        }
    }
}

double Cross(const QPointF& o, const QPointF& a, const QPointF& b) {
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// The convex hull of points, counter-clockwise (monotone chain).
QPolygonF Hull(QPolygonF points) {
    std::sort(points.begin(), points.end(), [](const QPointF& a, const QPointF& b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
    });
    if (points.size() < 3) return points;
    QPolygonF hull(2 * points.size());
    qsizetype k = 0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        while (k >= 2 && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
        hull[k++] = points[i];
    }
    for (qsizetype i = points.size() - 2, t = k + 1; i >= 0; --i) {
        while (k >= t && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

QPointF Unit(const QPointF& v) {
    const double l = std::hypot(v.x(), v.y());
    return l > 0 ? v / l : QPointF(0, 0);
}

// A dimension line beside the segment a-b, on the side `towards` points to, clear of the
// body by 10 pixels plus `extra`, with its text beyond it.
void Dimension(QPainter& p, const QPalette& pal, QPointF a, QPointF b, QPointF towards,
               const QPolygonF& body, double extra, const QString& text) {
    const QPointF u = Unit(b - a);
    QPointF n(-u.y(), u.x());
    if (n.x() * towards.x() + n.y() * towards.y() < 0) n = -n;
    double clear = 0.0;
    for (const QPointF& q : body)
        clear = std::max(clear, (q.x() - a.x()) * n.x() + (q.y() - a.y()) * n.y());
    const double d = clear + 10.0 + extra;
    const QPointF a2 = a + n * d, b2 = b + n * d;
    QColor line = pal.color(QPalette::WindowText);
    p.setPen(QPen(line, 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(a + n * (d - extra - 7.0), a2 + n * 4.0);
    p.drawLine(b + n * (d - extra - 7.0), b2 + n * 4.0);
    p.drawLine(a2, b2);
    if (std::hypot(b2.x() - a2.x(), b2.y() - a2.y()) > 14.0) {
        const QPointF side(-u.y() * 3.0, u.x() * 3.0);
        p.setBrush(line);
        p.drawPolygon(QPolygonF{a2, a2 + u * 7.0 + side, a2 + u * 7.0 - side});
        p.drawPolygon(QPolygonF{b2, b2 - u * 7.0 + side, b2 - u * 7.0 - side});
    }
    const QPointF mid = (a2 + b2) / 2.0 + n * 11.0;
    const QRectF box(mid.x() - 20.0, mid.y() - 9.0, 40.0, 18.0);
    p.drawText(box, Qt::AlignCenter, text);
}

} // namespace

// --- the drawing ---

TWorkpieceDrawing::TWorkpieceDrawing(QWidget* parent) : QWidget(parent) {
    setObjectName("WorkpieceDrawing");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TWorkpieceDrawing::SetWorkpiece(TWorkpieceShape shape, const TWorkpieceSize& size) {
    if (shape == shape_ && size.X == size_.X && size.Y == size_.Y && size.Z == size_.Z &&
        size.D == size_.D && size.Di == size_.Di)
        return;
    shape_ = shape;
    size_ = size;
    update();
}

QPointF TWorkpieceDrawing::Oblique(double x, double y, double z) {
    const double depth = -x * kSinTurn + y * kCosTurn;
    return {x * kCosTurn + y * kSinTurn, z * kCosTilt + depth * kSinTilt};
}

TWorkpieceSize TWorkpieceDrawing::Drawn() const {
    TWorkpieceSize s = size_;
    const int axis = WorkpieceRoundAxis(shape_);
    // The sizes the shape is made of; the others do not matter.
    std::vector<double*> used;
    if (shape_ == cwsGlobe) used = {&s.D};
    else if (axis < 0) used = {&s.X, &s.Y, &s.Z};
    else used = {axis == 0 ? &s.X : axis == 1 ? &s.Y : &s.Z, &s.D};
    double largest = 0.0;
    for (double* v : used)
        if (Positive(*v)) largest = std::max(largest, *v);
    if (largest == 0.0) largest = 1.0;
    for (double* v : used) {
        if (!Positive(*v)) *v = largest / 2.0;
        // A sheet stays visible as a sheet.
        *v = std::max(*v, largest * 0.02);
    }
    if (!Positive(s.Di)) s.Di = s.D / 2.0;
    s.Di = std::min(s.Di, s.D * 0.9);
    return s;
}

TWorkpieceDrawing::TLayout TWorkpieceDrawing::Fit(const TWorkpieceSize& s) const {
    double minX = std::numeric_limits<double>::max(), maxX = -minX, minY = minX, maxY = -minX;
    auto take = [&](double x, double y, double z) {
        const QPointF q = Oblique(x, y, z);
        minX = std::min(minX, q.x());
        maxX = std::max(maxX, q.x());
        minY = std::min(minY, q.y());
        maxY = std::max(maxY, q.y());
    };
    const int axis = WorkpieceRoundAxis(shape_);
    if (shape_ == cwsGlobe) {
        // The outline of a sphere is a circle of its radius about the centre.
        const double r = s.D / 2.0;
        minX = minY = -r;
        maxX = maxY = r;
    } else if (axis < 0) {
        for (int i = 0; i < 8; ++i)
            take((i & 1 ? 0.5 : -0.5) * s.X, (i & 2 ? 0.5 : -0.5) * s.Y,
                 (i & 4 ? 0.5 : -0.5) * s.Z);
    } else {
        const double half = (axis == 0 ? s.X : axis == 1 ? s.Y : s.Z) / 2.0;
        CircleAbout(axis, -half, s.D / 2.0, take);
        CircleAbout(axis, half, s.D / 2.0, take);
    }
    TLayout l;
    // A pipe's second diameter is dimensioned outside the first.
    const double margin = cMargin + (shape_ >= cwsPipeX ? cPipeMargin : 0);
    const double w = std::max(1.0, width() - 2.0 * margin);
    const double h = std::max(1.0, height() - 2.0 * margin);
    const double bw = std::max(maxX - minX, 1e-12), bh = std::max(maxY - minY, 1e-12);
    l.Scale = std::min(w / bw, h / bh);
    // The middle of the outline goes to the middle of the widget.
    l.Offset = QPointF(width() / 2.0 - l.Scale * (minX + maxX) / 2.0,
                       height() / 2.0 + l.Scale * (minY + maxY) / 2.0);
    return l;
}

QPointF TWorkpieceDrawing::Project(double x, double y, double z) const {
    const TLayout l = Fit(Drawn());
    const QPointF q = Oblique(x, y, z);
    return {l.Offset.x() + l.Scale * q.x(), l.Offset.y() - l.Scale * q.y()};
}

void TWorkpieceDrawing::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    p.setRenderHint(QPainter::Antialiasing);
    const TWorkpieceSize s = Drawn();
    const TLayout l = Fit(s);
    auto at = [&l](double x, double y, double z) {
        const QPointF q = Oblique(x, y, z);
        return QPointF(l.Offset.x() + l.Scale * q.x(), l.Offset.y() - l.Scale * q.y());
    };
    const QPen outline(kOutline, 1.2);
    const int axis = WorkpieceRoundAxis(shape_);

    if (shape_ == cwsGlobe) {
        const QPointF c = at(0, 0, 0);
        const double r = l.Scale * s.D / 2.0;
        p.setPen(outline);
        QRadialGradient shade(c - QPointF(r * 0.35, r * 0.35), r * 1.3);
        shade.setColorAt(0.0, cFillTop);
        shade.setColorAt(0.55, cFillFront);
        shade.setColorAt(1.0, cFillSide);
        p.setBrush(shade);
        p.drawEllipse(c, r, r);
        QPolygonF body;
        CircleAbout(2, 0.0, r, [&](double x, double y, double) { body << c + QPointF(x, y); });
        Dimension(p, pal, c - QPointF(r, 0), c + QPointF(r, 0), {0, 1}, body, 0, "D");
        return;
    }

    if (axis < 0) {
        const double x = s.X / 2, y = s.Y / 2, z = s.Z / 2;
        const QPolygonF front{at(-x, -y, -z), at(x, -y, -z), at(x, -y, z), at(-x, -y, z)};
        const QPolygonF top{at(-x, -y, z), at(x, -y, z), at(x, y, z), at(-x, y, z)};
        const QPolygonF side{at(x, -y, -z), at(x, y, -z), at(x, y, z), at(x, -y, z)};
        QPolygonF body = front;
        body << top << side;
        if (shape_ == cwsBar) {
            p.setPen(outline);
            p.setBrush(cFillFront);
            p.drawPolygon(front);
            p.setBrush(cFillTop);
            p.drawPolygon(top);
            p.setBrush(cFillSide);
            p.drawPolygon(side);
        } else {
            // Known only by its mass or volume: a lump inside its enveloping box.
            const QRectF box = body.boundingRect();
            const QPointF c = at(0, 0, 0);
            QPainterPath lump;
            for (int i = 0; i <= kCircleSteps; ++i) {
                const double t = 2.0 * std::numbers::pi * i / kCircleSteps;
                const double k = 0.36 + 0.05 * std::sin(3 * t) + 0.03 * std::cos(5 * t + 1);
                const QPointF q = c + QPointF(box.width() * k * std::cos(t),
                                              box.height() * k * std::sin(t));
                if (i == 0) lump.moveTo(q);
                else lump.lineTo(q);
            }
            p.setPen(outline);
            p.setBrush(cFillFront);
            p.drawPath(lump);
            QPen dotted(kOutline, 1.2, Qt::DotLine);
            p.setPen(dotted);
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(front);
            p.drawPolygon(top);
            p.drawPolygon(side);
        }
        Dimension(p, pal, at(-x, -y, -z), at(x, -y, -z), {0, 1}, body, 0, "X");
        Dimension(p, pal, at(x, -y, -z), at(x, y, -z), {1, 1}, body, 0, "Y");
        Dimension(p, pal, at(-x, -y, -z), at(-x, -y, z), {-1, 0}, body, 0, "Z");
        return;
    }

    // A cylinder or pipe: the body is the hull of its two end circles; the end turned to
    // the viewer is drawn over it (+X, -Y or +Z), a pipe's bore in it.
    const double length = axis == 0 ? s.X : axis == 1 ? s.Y : s.Z;
    const double near = axis == 1 ? -length / 2 : length / 2;
    const double r = s.D / 2, ri = s.Di / 2;
    QPolygonF ends, nearEnd, bore;
    auto collect = [&](QPolygonF& into) {
        return [&into, &at](double x, double y, double z) { into << at(x, y, z); };
    };
    CircleAbout(axis, -length / 2, r, collect(ends));
    CircleAbout(axis, length / 2, r, collect(ends));
    CircleAbout(axis, near, r, collect(nearEnd));
    const QPolygonF body = Hull(ends);
    const QColor endColor = axis == 0 ? cFillSide : axis == 1 ? cFillFront : cFillTop;
    p.setPen(outline);
    p.setBrush(axis == 1 ? cFillSide : cFillFront);
    p.drawPolygon(body);
    p.setBrush(endColor);
    p.drawPolygon(nearEnd);
    const bool pipe = shape_ >= cwsPipeX;
    if (pipe) {
        CircleAbout(axis, near, ri, collect(bore));
        p.setBrush(cBore);
        p.drawPolygon(bore);
    }
    const char* lengthName = axis == 0 ? "X" : axis == 1 ? "Y" : "Z";
    auto point = [axis](double along, double u, double v) {
        return axis == 0 ? std::array{along, u, v}
               : axis == 1 ? std::array{u, along, v}
                           : std::array{u, v, along};
    };
    auto atA = [&](const std::array<double, 3>& q) { return at(q[0], q[1], q[2]); };
    // The length along the axis, the diameters across the near end.
    const QPointF lengthSide = axis == 2 ? QPointF(-1, 0) : QPointF(0, 1);
    Dimension(p, pal, atA(point(-length / 2, 0, axis == 2 ? 0 : -r)),
              atA(point(length / 2, 0, axis == 2 ? 0 : -r)), lengthSide, body, 0, lengthName);
    const QPointF across = axis == 0 ? QPointF(1, 0) : axis == 1 ? QPointF(-1, 0) : QPointF(0, -1);
    auto diameter = [&](double radius) {
        return axis == 2 ? std::pair{at(-radius, 0, near), at(radius, 0, near)}
                         : std::pair{atA(point(near, 0, -radius)), atA(point(near, 0, radius))};
    };
    const auto [d0, d1] = diameter(r);
    Dimension(p, pal, d0, d1, across, body, 0, "D");
    if (pipe) {
        const auto [i0, i1] = diameter(ri);
        Dimension(p, pal, i0, i1, across, body, 24, "Di");
    }
}

// --- the page ---

TWorkpiecePage::TWorkpiecePage(TPageContext& context) : context_(context) {
    setObjectName("PageWorkpiece");
    TVacuumApplication& app = context_.App;

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);
    auto* inputs = new QWidget(this);
    inputs->setObjectName("WorkpieceInputs");
    inputs->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* column = new QVBoxLayout(inputs);
    column->setContentsMargins(0, 0, 0, 0);
    form_ = new QFormLayout;
    form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    column->addLayout(form_);
    column->addStretch(1);
    layout->addWidget(inputs, 0);
    drawing_ = new TWorkpieceDrawing(this);
    layout->addWidget(drawing_, 1);

    shape_ = new QComboBox(inputs);
    shape_->setObjectName("CoBoxWerkStkForm");
    for (const char* key : {"~Shape-MassKnown", "~Shape-VolumeDensityKnown", "~Shape-Cube",
                            "~Shape-CylinderX", "~Shape-CylinderY", "~Shape-CylinderZ",
                            "~Shape-Sphere", "~Shape-PipeX", "~Shape-PipeY", "~Shape-PipeZ"})
        shape_->addItem(key);
    form_->addRow(new QLabel("~Shape", inputs), shape_);

    const double l = cWorkpieceLengthMax;
    lengthX_ = AddField(cpcLengthX.data(), "~Length(X)", cNU_length, l);
    lengthY_ = AddField(cpcLengthY.data(), "~Width(Y)", cNU_length, l);
    lengthZ_ = AddField(cpcLengthZ.data(), "~Height(Z)", cNU_length, l);
    outer_ = AddField(cpcOuterDiameter.data(), "~Diameter", cNU_length, l);
    inner_ = AddField(cpcInnerDiameter.data(), "~InsideDiameter", cNU_length, l);
    inner_->SetIncrement(5.0);
    volume_ = AddField(cpcVolume.data(), "~Volume", cNU_volume, cWorkpieceVolumeMax);

    // The materials of the density table, under the entry that means no material.
    material_ = new QComboBox(inputs);
    material_->setObjectName("StrTableCoBoxDensity");
    material_->addItem("~UserDefined");
    materialKeys_.push_back({});
    if (const TCustomTable* table = app.DensityQuery.Table()) {
        const int name = table->ColByName(TWorkpieceModel::cMaterialColumn);
        const int key = table->ColByName("ProjectKey");
        for (int row = 0; name >= 0 && key >= 0 && row < table->Rows(); ++row) {
            material_->addItem(QString::fromStdString(table->AsText(row, name)));
            materialKeys_.push_back(table->AsText(row, key));
        }
    }
    form_->addRow(new QLabel("~Material", inputs), material_);
    density_ = AddField(cpcDensity.data(), "~Density", cNU_density, cWorkpieceDensityMax);
    mass_ = AddField(cpcMass.data(), "~Mass", cNU_mass, std::numeric_limits<double>::infinity());

    // Whether the mass follows from the density or is entered.
    auto* choice = new QWidget(inputs);
    auto* choiceRow = new QHBoxLayout(choice);
    choiceRow->setContentsMargins(0, 0, 0, 0);
    calculate_ = new QRadioButton("~CalculateValue", choice);
    calculate_->setObjectName("RadioButtonDensityKnown");
    known_ = new QRadioButton("~KnownValue", choice);
    known_->setObjectName("RadioButtonMassKnown");
    auto* group = new QButtonGroup(choice);
    group->addButton(calculate_);
    group->addButton(known_);
    choiceRow->addWidget(calculate_);
    choiceRow->addWidget(known_);
    choiceRow->addStretch(1);
    form_->addRow(QString(), choice);

    friction_ = new TFMU2SpinEdit(inputs);
    friction_->setObjectName(Qs(cpcFriction));
    friction_->SetNormUnit(cNU_NoUnit);
    friction_->SetValueMin(0.0);
    friction_->SetValueMax(cWorkpieceFrictionMax);
    friction_->SetIncrement(0.1);
    friction_->SetTranslate(app.Translator());
    frictionHelp_ = new QToolButton(inputs);
    frictionHelp_->setObjectName("SpeedButtonFriction");
    frictionHelp_->setText("?");
    frictionHelp_->setToolTip("~FrictionValuesTable");
    auto* frictionRow = new QHBoxLayout;
    frictionRow->setSpacing(4);
    frictionRow->addWidget(friction_, 1);
    frictionRow->addWidget(frictionHelp_);
    form_->addRow(new QLabel("~FrictionCoefficient", inputs), frictionRow);

    const char* momentNames[] = {"PanelTrMomentX", "PanelTrMomentY", "PanelTrMomentZ"};
    for (int axis = 0; axis < 3; ++axis) {
        auto* panel = new TFMU2Panel(inputs);
        panel->setObjectName(momentNames[axis]);
        panel->SetNormUnit(cNU_moment_of_inertia);
        panel->SetPreferredSIUnit(cUM_kgcm2);
        panel->SetPreferredUSUnit(cUM_lbin2);
        panel->SetAutoUnitChange(true);
        panel->SetTranslate(app.Translator());
        moments_[static_cast<size_t>(axis)] = panel;
        auto* label = new QLabel(inputs);
        momentLabels_[static_cast<size_t>(axis)] = label;
        form_->addRow(label, panel);
    }

    // One below the other, so the column keeps its width when one of them goes.
    auto* buttons = new QVBoxLayout;
    inertiaProgram_ = new QPushButton("~InertiaProgram", inputs);
    inertiaProgram_->setObjectName("ButtonInertiaProgram");
    massDialogButton_ = new QPushButton("~CenterOfGravityAnd...", inputs);
    massDialogButton_->setObjectName("SpeedButtonIrregularShape");
    buttons->addWidget(inertiaProgram_, 0, Qt::AlignLeft);
    buttons->addWidget(massDialogButton_, 0, Qt::AlignLeft);
    form_->addRow(QString(), buttons);

    // Entries go to the model; what it computes comes back through Refresh.
    TWorkpieceModel& w = app.Workpiece;
    auto bind = [this, &app](TFMU2SpinEdit* field, auto read, auto store) {
        bindings_.push_back(new TFieldBinding(field, read, [&app, store](double v) {
            app.Input([&] { store(v); });
        }));
    };
    TMyProject::TWorkpiece& doc = app.Document.Workpiece;
    bind(lengthX_, [&doc] { return doc.LengthX; }, [&w](double v) { w.SetLengthX(v); });
    bind(lengthY_, [&doc] { return doc.LengthY; }, [&w](double v) { w.SetLengthY(v); });
    bind(lengthZ_, [&doc] { return doc.LengthZ; }, [&w](double v) { w.SetLengthZ(v); });
    bind(outer_, [&doc] { return doc.OuterDiameter; }, [&w](double v) { w.SetOuterDiameter(v); });
    bind(inner_, [&doc] { return doc.InnerDiameter; }, [&w](double v) { w.SetInnerDiameter(v); });
    bind(volume_, [&doc] { return doc.Volume; }, [&w](double v) { w.SetVolume(v); });
    bind(density_, [&doc] { return doc.Density; }, [&w](double v) { w.SetDensity(v); });
    bind(mass_, [&doc] { return doc.Mass; }, [&w](double v) { w.SetMass(v); });
    bind(friction_, [&app] { return app.Document.Friction; },
         [&w](double v) { w.SetFriction(v); });
    for (TFMU2SpinEdit* field : CheckedFields())
        connect(field, &TFMU2Custom::validChanged, this, &TWorkpiecePage::ReportValidity);

    connect(shape_, &QComboBox::activated, this, [this](int index) {
        context_.App.Input(
            [&] { context_.App.Workpiece.SetShape(static_cast<TWorkpieceShape>(index)); });
        ShowModel();
    });
    connect(material_, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(materialKeys_.size())) return;
        context_.App.Input([&] {
            context_.App.Workpiece.SelectMaterial(materialKeys_[static_cast<size_t>(index)]);
        });
        ShowModel();
    });
    connect(calculate_, &QRadioButton::clicked, this, [this] {
        context_.App.Input([&] { context_.App.Workpiece.SetMassKnown(false); });
        ShowModel();
    });
    connect(known_, &QRadioButton::clicked, this, [this] {
        context_.App.Input([&] { context_.App.Workpiece.SetMassKnown(true); });
        ShowModel();
    });
    connect(frictionHelp_, &QToolButton::clicked, this, [this] {
        if (context_.Help) context_.Help->ShowTopic(cHelpFrictionValues);
    });
    connect(inertiaProgram_, &QPushButton::clicked, this, [this] {
        if (context_.Programs) context_.Programs->StartProgram(cInertiaProgramSection);
    });
    connect(massDialogButton_, &QPushButton::clicked, this, &TWorkpiecePage::OpenMassDialog);

    Retranslate();
    ShowModel();
    // The unit buttons of the page's fields end at one line.
    AlignUnitButtons(this);
}

TWorkpiecePage::~TWorkpiecePage() {
    delete massDialog_.data();
}

TFMU2SpinEdit* TWorkpiecePage::AddField(const char* name, const char* key, TNormUnit quantity,
                                        double max) {
    auto* field = new TFMU2SpinEdit(form_->parentWidget());
    field->setObjectName(name);
    field->SetNormUnit(quantity);
    switch (quantity) {
    case cNU_length:
        field->SetPreferredSIUnit(cUM_mm);
        field->SetPreferredUSUnit(cUM_in);
        field->SetIncrement(10.0);
        break;
    case cNU_volume:
        field->SetPreferredSIUnit(cUM_dm3);
        field->SetPreferredUSUnit(cUM_ft3);
        break;
    case cNU_density:
        field->SetPreferredSIUnit(cUM_g_cm3);
        field->SetPreferredUSUnit(cUM_lb_ft3);
        break;
    case cNU_mass:
        field->SetPreferredSIUnit(cUM_kg);
        field->SetPreferredUSUnit(cUM_lb);
        break;
    default:
        break;
    }
    field->SetValueMin(0.0);
    field->SetValueMax(max);
    field->SetAutoUnitChange(true);
    field->SetTranslate(context_.App.Translator());
    form_->addRow(new QLabel(key, form_->parentWidget()), field);
    return field;
}

std::array<TFMU2SpinEdit*, 8> TWorkpiecePage::CheckedFields() const {
    return {lengthX_, lengthY_, lengthZ_, outer_, inner_, volume_, density_, friction_};
}

TFormMass* TWorkpiecePage::MassDialog() const {
    return massDialog_.data();
}

QWidget* TWorkpiecePage::LabelOf(QWidget* field) const {
    if (QWidget* label = form_->labelForField(field)) return label;
    // A field that shares its row with a button sits in a layout of the row.
    for (int row = 0; row < form_->rowCount(); ++row) {
        QLayoutItem* item = form_->itemAt(row, QFormLayout::FieldRole);
        QLayout* inner = item ? item->layout() : nullptr;
        if (inner && inner->indexOf(field) >= 0) {
            QLayoutItem* label = form_->itemAt(row, QFormLayout::LabelRole);
            return label ? label->widget() : nullptr;
        }
    }
    return nullptr;
}

void TWorkpiecePage::Retranslate() {
    // "Moment of inertia Jx": the symbol is the same in every language.
    const QString name = context_.Language.Tr("~MomentOfInertia");
    for (int axis = 0; axis < 3; ++axis)
        momentLabels_[static_cast<size_t>(axis)]->setText(
            QString("%1 J%2").arg(name).arg(QChar('x' + axis)));
}

void TWorkpiecePage::Enter() {
    ShowModel();
}

void TWorkpiecePage::Refresh(TAspects aspects) {
    if (aspects.Intersects({caWorkpiece, caDocument, caLanguage})) ShowModel();
}

void TWorkpiecePage::ShowModel() {
    if (showing_) return;
    showing_ = true;
    TVacuumApplication& app = context_.App;
    const TMyProject::TWorkpiece& w = app.Document.Workpiece;
    const TWorkpieceFieldState s = app.Workpiece.FieldState();

    for (TFieldBinding* b : bindings_) b->Refresh();
    shape_->setCurrentIndex(w.Shape);
    form_->setRowVisible(lengthX_, s.LengthXVisible);
    form_->setRowVisible(lengthY_, s.LengthYVisible);
    form_->setRowVisible(lengthZ_, s.LengthZVisible);
    form_->setRowVisible(outer_, s.OuterDiameterVisible);
    form_->setRowVisible(inner_, s.InnerDiameterVisible);
    form_->setRowVisible(volume_, s.VolumeVisible);
    form_->setRowVisible(density_, s.DensityVisible);
    form_->setRowVisible(material_, s.MaterialVisible);
    volume_->SetReadOnly(s.VolumeReadOnly);
    density_->SetReadOnly(s.DensityReadOnly);
    mass_->SetReadOnly(s.MassReadOnly);
    calculate_->setEnabled(s.CalculateValueEnabled);
    known_->setEnabled(s.KnownValueEnabled);
    known_->setChecked(s.KnownValueChecked);
    calculate_->setChecked(!s.KnownValueChecked);
    massDialogButton_->setVisible(s.MassDialogVisible);
    ShowMaterial();
    const double moments[] = {w.MomentOfInertiaX, w.MomentOfInertiaY, w.MomentOfInertiaZ};
    for (size_t axis = 0; axis < 3; ++axis) moments_[axis]->SetValue(moments[axis]);
    drawing_->SetWorkpiece(w.Shape, app.Workpiece.Size());
    showing_ = false;
    ReportValidity();
}

void TWorkpiecePage::ShowMaterial() {
    int index = 0;
    const TStringQuery* q = context_.App.Workpiece.DensityQuery();
    if (q && context_.App.Workpiece.MaterialSelected()) {
        const int col = q->ColByName("ProjectKey");
        const std::string key = col >= 0 ? q->AsText(0, col) : std::string();
        const auto it = std::find(materialKeys_.begin() + 1, materialKeys_.end(), key);
        if (it != materialKeys_.end()) index = static_cast<int>(it - materialKeys_.begin());
    }
    material_->setCurrentIndex(index);
}

void TWorkpiecePage::ReportValidity() {
    if (showing_) return;
    bool all = true;
    for (const TFMU2SpinEdit* field : CheckedFields()) all = all && field->Valid();
    TVacuumApplication& app = context_.App;
    // A notice follows only when the navigator's state changed.
    app.Input([&] { app.Workflow.WorkpieceSizeChangeValid(all); });
}

void TWorkpiecePage::OpenMassDialog() {
    if (context_.App.Workflow.InputBlocked()) return;
    if (massDialog_ && massDialog_->isVisible()) {
        massDialog_->raise();
        return;
    }
    // A closed dialog deletes itself; every opening starts on the workpiece's values.
    if (massDialog_) massDialog_->deleteLater();
    massDialog_ = new TFormMass(context_, this);
    massDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(massDialog_, &QDialog::finished, this, [this] { ShowModel(); });
    massDialog_->open();
}
