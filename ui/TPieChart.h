// A pie chart: slices drawn clockwise from twelve o'clock in the order added, each with its
// label and value in a legend beside the pie. Negative values count as empty slices.
#pragma once

#include <QColor>
#include <QString>
#include <QVector>
#include <QWidget>

class TPieChart : public QWidget {
    Q_OBJECT
public:
    struct Slice {
        double Value;
        QString Label;
        QColor Color;
    };

    explicit TPieChart(QWidget* parent = nullptr);

    void Clear();
    void AddSlice(double value, const QString& label, const QColor& color);
    const QVector<Slice>& Slices() const { return slices_; }
    // Angle of a slice in sixteenths of a degree, as drawn (0 for an empty pie).
    int SpanOf(int index) const;

    QSize sizeHint() const override { return QSize(260, 160); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QVector<Slice> slices_;
};
