#include "fc/BREM_FC/BayerImageDlg.h"

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>

#include <cstdio>
#include <map>

struct CBayerImageDlg::Window {
    QPointer<QDialog> dialog;
    std::map<int, QLabel*> controls;
};

CBayerImageDlg::CBayerImageDlg() = default;

CBayerImageDlg::~CBayerImageDlg() {
    Destroy();
}

void CBayerImageDlg::SetImage(int width, int height, int phase, const std::int16_t* firstRow) {
    m_width = width;
    m_height = height;
    m_phase = phase & 3;
    m_plane = firstRow;
}

void CBayerImageDlg::SetPhase(int phase) {
    m_phase = phase & 3;
}

void CBayerImageDlg::SetCursor(int x, int y) {
    m_x = x;
    m_y = y;
}

std::string CBayerImageDlg::PositionText() const {
    char text[32];
    std::snprintf(text, sizeof text, "%3d, %3d", m_x, m_y);
    return text;
}

std::string CBayerImageDlg::CellText(int dr, int dc) const {
    const long y = static_cast<long>(m_y) + dr;
    const long x = static_cast<long>(m_x) + dc;
    if (!m_plane || y < 0 || x < 0 || y >= m_height || x >= m_width)
        return "---";
    const int value = m_plane[y * m_width + x] >> 2;
    return std::to_string(value);
}

int CBayerImageDlg::CellBrush(int dr, int dc) const {
    const int cursorParity = (m_y & 1) * 2 + (m_x & 1);
    const int cellParity = (dr & 1) * 2 + (dc & 1);
    return (m_phase ^ cursorParity ^ cellParity) & 3;
}

COLORREF CBayerImageDlg::BrushColour(int index) {
    switch (index & 3) {
    case 0:
        return RGB(255, 0, 0);
    case 3:
        return RGB(0, 0, 255);
    default:
        return RGB(0, 180, 0);
    }
}

int CBayerImageDlg::CellControl(int row, int column) {
    if (row == 0)
        return 214 + column;
    return column == 0 ? 222 + row : 223 + 6 * row + column;
}

bool CBayerImageDlg::Create() {
    if (HasWindow())
        return true;
    if (!QApplication::instance())
        return false;
    m_window = std::make_unique<Window>();
    auto* dialog = new QDialog(nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setWindowTitle("BayerImage");
    dialog->setObjectName("dialog211");
    auto* layout = new QGridLayout(dialog);
    auto* position = new QLabel(dialog);
    position->setObjectName("ctl221");
    layout->addWidget(position, 0, 0, 1, kGrid);
    m_window->controls[kPositionControl] = position;
    for (int row = 0; row < kGrid; ++row) {
        for (int column = 0; column < kGrid; ++column) {
            auto* cell = new QLabel(dialog);
            const int id = CellControl(row, column);
            cell->setObjectName(QString("ctl%1").arg(id));
            cell->setAlignment(Qt::AlignCenter);
            cell->setAutoFillBackground(true);
            cell->setMinimumWidth(36);
            layout->addWidget(cell, row + 1, column);
            m_window->controls[id] = cell;
        }
    }
    m_window->dialog = dialog;
    Refresh();
    dialog->show();
    return true;
}

void CBayerImageDlg::Destroy() {
    if (m_window && m_window->dialog)
        delete m_window->dialog.data();
    m_window.reset();
}

bool CBayerImageDlg::HasWindow() const {
    return m_window && m_window->dialog;
}

void CBayerImageDlg::Refresh() {
    if (!HasWindow())
        return;
    m_window->controls[kPositionControl]->setText(QString::fromStdString(PositionText()));
    for (int row = 0; row < kGrid; ++row) {
        for (int column = 0; column < kGrid; ++column) {
            QLabel* cell = m_window->controls[CellControl(row, column)];
            const int dr = row - 3;
            const int dc = column - 3;
            cell->setText(QString::fromStdString(CellText(dr, dc)));
            const COLORREF colour = BrushColour(CellBrush(dr, dc));
            QPalette palette = cell->palette();
            palette.setColor(QPalette::Window,
                             QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
            palette.setColor(QPalette::WindowText, Qt::white);
            cell->setPalette(palette);
        }
    }
}

std::string CBayerImageDlg::ControlText(int id) const {
    if (!HasWindow())
        return {};
    const auto it = m_window->controls.find(id);
    return it == m_window->controls.end() ? std::string() : it->second->text().toStdString();
}
