#pragma once

// The catalogue's source tables read as text, for the window tests to count and look up
// what a grid must show without going through the program's own reading of them.

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

//! The rows of a catalogue source table as text, with its column names.
struct TSourceRows {
    std::map<QString, int> Col;
    std::vector<QStringList> Rows;

    explicit TSourceRows(const QString& file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return;
        QTextStream in(&f);
        const QStringList header = in.readLine().split('\t');
        for (int i = 0; i < header.size(); ++i) Col[header[i].section(':', 0, 0)] = i;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (!line.isEmpty()) Rows.push_back(line.split('\t'));
        }
    }
    QString At(const QStringList& row, const QString& column) const {
        return row.value(Col.at(column));
    }
    int Count(const std::function<bool(const QStringList&)>& keep) const {
        return static_cast<int>(std::count_if(Rows.begin(), Rows.end(), keep));
    }
    const QStringList* Find(const QString& column, const QString& value) const {
        for (const QStringList& r : Rows)
            if (At(r, column) == value) return &r;
        return nullptr;
    }
    // A curve of the source, linear between its points and held beyond them.
    double Curve(const QString& name, const QString& yColumn, double x) const {
        std::vector<std::pair<double, double>> pts;
        for (const QStringList& r : Rows)
            if (r.value(0) == name)
                pts.push_back({At(r, "Pressure_bar").toDouble(), At(r, yColumn).toDouble()});
        if (pts.empty()) return 0.0;
        if (x <= pts.front().first) return pts.front().second;
        for (size_t i = 1; i < pts.size(); ++i)
            if (x <= pts[i].first)
                return pts[i - 1].second + (pts[i].second - pts[i - 1].second) *
                                               (x - pts[i - 1].first) /
                                               (pts[i].first - pts[i - 1].first);
        return pts.back().second;
    }
};
