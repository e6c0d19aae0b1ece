#pragma once
// Tables without a width, laid out as a browser lays them out: as wide as their widest line.
// Qt gives such a table all the room there is when a cell holds a line break, and shares what a
// spanning cell needs equally between its columns, so that a logo and the title beside it drift apart.

#include <QPointer>
#include <QTextTable>
#include <vector>

class QTextDocument;

class CTableFit {
 public:
  // Measures the document's top-level tables without a width; `resources` answers the images a
  // measuring copy of the document asks for (the view that shows it).
  void Measure(const QTextDocument& document, QObject* resources);
  // Gives each measured table its own width, or all of `availableWidth` where that is less.
  void Apply(qreal availableWidth);

 private:
  struct CTable {
    QPointer<QTextTable> table;
    qreal width;
  };
  std::vector<CTable> tables;
};
