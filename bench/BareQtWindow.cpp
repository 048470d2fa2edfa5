// The reference for the program's start: a bare Qt window with a folder tree and an index list
// of the same size, filled from the same catalog files, with no menus, toolbar or settings.
// It reports its paints as the program does (QUILLORY_REPORT_PAINTS), so both are measured alike.
//   quillory_bare_qt_window <program folder of a generated catalog>
#include <QApplication>
#include <QHash>
#include <QMainWindow>
#include <QSplitter>
#include <QTreeWidget>
#include <fstream>
#include <string>
#include <vector>

#include "app/PaintReport.h"

namespace {

// The fields of each line of a catalog file.
std::vector<QStringList> linesOf(const std::string& path)
{
    std::vector<QStringList> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(QString::fromStdString(line).split(QLatin1Char('|')));
    }
    return lines;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const std::string catalog = std::string(argv[1]) + "/cat";

    auto* tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    QHash<QString, QTreeWidgetItem*> items;
    QString firstFolder;
    for (const QStringList& fields : linesOf(catalog + "/cat.qlr")) {
        if (fields.size() < 3)
            continue;
        QTreeWidgetItem* parent = items.value(fields[2]);
        auto* item = parent ? new QTreeWidgetItem(parent, {fields[1]}) : new QTreeWidgetItem(tree, {fields[1]});
        items.insert(fields[0], item);
        if (firstFolder.isEmpty())
            firstFolder = fields[0];
    }

    auto* list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setHeaderLabels(
        {QStringLiteral("Title"), QStringLiteral("Path"), QStringLiteral("Added"), QStringLiteral("Description")});
    for (const QStringList& fields : linesOf(catalog + "/idx/" + firstFolder.toStdString() + ".qlr"))
        if (fields.size() >= 7)
            new QTreeWidgetItem(list, {fields[1], fields[2], fields[5], fields[6]});
    if (QTreeWidgetItem* first = tree->topLevelItem(0))
        tree->setCurrentItem(first);

    auto* splitter = new QSplitter;
    splitter->addWidget(tree);
    splitter->addWidget(list);
    QMainWindow window;
    window.setCentralWidget(splitter);
    window.resize(1100, 720);
    window.show();
    quillory::reportPaintsWhenAsked([list] { return list->topLevelItemCount(); });
    return QApplication::exec();
}
