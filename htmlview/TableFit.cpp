#include "htmlview/TableFit.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

namespace {

// Wide enough that only line breaks end lines.
constexpr qreal kUnbounded = 1e6;

qreal WidestLine(const QTextDocument& probe, const QTextTableCell& cell) {
  qreal widest = 0;
  for (auto it = cell.begin(); !it.atEnd(); ++it) {
    if (QTextFrame* inner = it.currentFrame()) {
      widest = std::max(widest, probe.documentLayout()->frameBoundingRect(inner).width());
      continue;
    }
    const QTextBlock block = it.currentBlock();
    const QTextBlockFormat format = block.blockFormat();
    const qreal margins = format.leftMargin() + format.rightMargin() + format.textIndent();
    const QTextLayout* layout = block.layout();
    for (int i = 0; i < layout->lineCount(); ++i)
      widest = std::max(widest, layout->lineAt(i).naturalTextWidth() + margins);
  }
  // Whole pixels and one more: a line measured to the fraction may still not fit once laid out.
  return std::ceil(widest) + 1;
}

// The width each column needs; a spanning cell's surplus goes to its columns in proportion to
// what they need already, as browsers share it.
std::vector<qreal> ColumnWidths(const QTextDocument& probe, const QTextTable& table) {
  const QTextTableFormat format = table.format();
  const qreal cellExtra = 2 * (format.cellPadding() + format.border());
  std::vector<qreal> columns(static_cast<std::size_t>(table.columns()), 0);
  std::vector<QTextTableCell> spanning;
  for (int row = 0; row < table.rows(); ++row)
    for (int column = 0; column < table.columns(); ++column) {
      const QTextTableCell cell = table.cellAt(row, column);
      if (cell.row() != row || cell.column() != column) continue;
      if (cell.columnSpan() > 1)
        spanning.push_back(cell);
      else
        columns[column] = std::max(columns[column], WidestLine(probe, cell) + cellExtra);
    }
  for (const QTextTableCell& cell : spanning) {
    const auto first = columns.begin() + cell.column();
    const auto last = first + std::min<int>(cell.columnSpan(), table.columns() - cell.column());
    const qreal have = std::accumulate(first, last, qreal(0));
    const qreal need = WidestLine(probe, cell) + cellExtra;
    if (need <= have) continue;
    const auto span = static_cast<qreal>(last - first);
    for (auto it = first; it != last; ++it)
      *it += have > 0 ? (need - have) * *it / have : (need - have) / span;
  }
  return columns;
}

}  // namespace

void CTableFit::Measure(const QTextDocument& document, QObject* resources) {
  tables.clear();
  const QList<QTextFrame*> frames = document.rootFrame()->childFrames();
  const auto unsized = [](QTextFrame* frame) {
    const auto* table = qobject_cast<QTextTable*>(frame);
    return table && table->format().width().type() == QTextLength::VariableLength;
  };
  if (std::none_of(frames.begin(), frames.end(), unsized)) return;

  std::unique_ptr<QTextDocument> probe(document.clone(resources));
  probe->setTextWidth(kUnbounded);
  probe->documentLayout()->documentSize();
  const QList<QTextFrame*> measured = probe->rootFrame()->childFrames();
  for (qsizetype i = 0; i < frames.size() && i < measured.size(); ++i) {
    auto* table = qobject_cast<QTextTable*>(frames[i]);
    const auto* probeTable = qobject_cast<QTextTable*>(measured[i]);
    if (!unsized(frames[i]) || !probeTable) continue;
    const std::vector<qreal> columns = ColumnWidths(*probe, *probeTable);
    const qreal width = std::accumulate(columns.begin(), columns.end(), qreal(0)) +
                        (table->columns() + 1) * table->format().cellSpacing();
    if (width <= 0) continue;
    QTextTableFormat format = table->format();
    QList<QTextLength> shares;
    for (const qreal column : columns)
      shares << QTextLength(QTextLength::PercentageLength, 100 * column / width);
    format.setColumnWidthConstraints(shares);
    table->setFormat(format);
    tables.push_back({table, width});
  }
}

void CTableFit::Apply(qreal availableWidth) {
  for (const CTable& fitted : tables) {
    if (!fitted.table) continue;
    QTextTableFormat format = fitted.table->format();
    const QTextLength width = fitted.width < availableWidth
                                  ? QTextLength(QTextLength::FixedLength, fitted.width)
                                  : QTextLength(QTextLength::VariableLength, 0);
    if (format.width() == width) continue;
    format.setWidth(width);
    fitted.table->setFormat(format);
  }
}
