// A window made larger: the texts and path boxes grow, the rest keeps its
// place, and the size comes back at the next start.

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <map>

#include "UiTest.h"
#include "readme/DatabaseIds.h"
#include "readme/PluginIds.h"

namespace {

class WindowGrowth : public MainWindowTest {
protected:
    std::vector<CDialog*> Pages() {
        std::vector<CDialog*> pages;
        for (int tab = 0; tab < CMainDlg::kTabCount; ++tab) pages.push_back(window->PageOfTab(tab));
        return pages;
    }
    // Every control of the window and its pages where it stands now.
    std::map<QWidget*, QRect> Places() {
        std::map<QWidget*, QRect> places;
        std::vector<QWidget*> holders{QtWidget(*window)};
        for (CDialog* page : Pages()) holders.push_back(QtWidget(*page));
        for (QWidget* holder : holders)
            for (QWidget* control : holder->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                places[control] = control->geometry();
        return places;
    }
    void Resize(QSize size) {
        QtWidget(*window)->resize(size);
        QApplication::processEvents();
    }
    QSize LayoutSize() { return MapDialogRect(*window, {0, 0, 448, 366}).size(); }
    QString StateFile() { return stateHome.filePath(QStringLiteral("quillsmith/window.json")); }
    void Restart() {
        QtWidget(*window)->close();
        window = std::make_unique<CMainDlg>();
        window->Create();
    }
};

QRect Place(CDialog& dialog, ItemId id) { return QtItem(dialog, id)->geometry(); }

TEST_F(WindowGrowth, TheTextsAndPathBoxesGrowTheRestKeepsItsPlaceAndComesBackAtTheLayoutSize) {
    const std::map<QWidget*, QRect> atLayout = Places();
    const QRect description = Place(plugin(), PluginId::Description);
    const QRect uninstall = Place(plugin(), PluginId::UninstallText);
    const QRect second = Place(plugin(), PluginId::Screenshot2);
    const QRect edit = Place(window->textDocPage(), TextDocId::Edit);

    Resize(LayoutSize() + QSize(240, 160));
    // Four texts share the height on the Plugin page.
    EXPECT_EQ(Place(plugin(), PluginId::Description), description.adjusted(0, 0, 240, 40));
    EXPECT_EQ(Place(plugin(), PluginId::UninstallText), uninstall.adjusted(0, 120, 240, 160));
    // Below two of the texts: the middle third of the width, half the height lower.
    EXPECT_EQ(Place(plugin(), PluginId::Screenshot2), second.adjusted(80, 80, 160, 80));
    EXPECT_EQ(Place(plugin(), PluginId::BrowseFile),
              atLayout.at(QtItem(plugin(), PluginId::BrowseFile)).translated(240, 0));
    EXPECT_EQ(Place(window->textDocPage(), TextDocId::Edit), edit.adjusted(0, 0, 240, 160));
    EXPECT_EQ(Place(*window, MainId::Tabs), atLayout.at(QtItem(*window, MainId::Tabs)).adjusted(0, 0, 240, 160));
    EXPECT_EQ(Place(*window, MainId::Preview), atLayout.at(QtItem(*window, MainId::Preview)).translated(240, 160));
    for (ItemId id : {MainId::New, MainId::Open, MainId::Save})
        EXPECT_EQ(Place(*window, id), atLayout.at(QtItem(*window, id))) << id;
    // Below the description, which takes the height, and beside no path box that widens.
    EXPECT_EQ(Place(database(), DatabaseId::ArchiveSize),
              atLayout.at(QtItem(database(), DatabaseId::ArchiveSize)).translated(0, 160));

    // Nothing leaves its page, and nothing runs into a control it stood apart from.
    for (CDialog* page : Pages()) {
        const QRect room(QPoint(0, 0), QtWidget(*page)->size());
        const QList<QWidget*> controls = QtWidget(*page)->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (QWidget* control : controls) {
            EXPECT_TRUE(room.contains(control->geometry())) << control->objectName().toStdString();
            for (QWidget* other : controls) {
                if (other == control || atLayout.at(control).intersects(atLayout.at(other))) continue;
                EXPECT_FALSE(control->geometry().intersects(other->geometry()))
                    << control->objectName().toStdString() << " " << other->objectName().toStdString();
            }
        }
    }

    Resize(LayoutSize());
    EXPECT_EQ(Places(), atLayout);
}

TEST_F(WindowGrowth, TheSizeComesBackAfterARestartAndABrokenFileChangesNothing) {
    // The test screen is 800 pixels wide and not as tall as the layout.
    const QSize grown(LayoutSize().width() + 12, QtWidget(*window)->height());
    Resize(grown);
    Restart();
    ASSERT_TRUE(QFile::exists(StateFile()));
    QtWidget(*window)->show();
    QApplication::processEvents();
    // Kept in dialog units: back within a unit's rounding.
    const QSize back = QtWidget(*window)->size();
    EXPECT_NEAR(back.width(), grown.width(), 2);
    EXPECT_NEAR(back.height(), grown.height(), 2);

    for (const char* bytes : {"{ broken", "{\"width\": -5, \"height\": 400}", "[]", "{\"width\": \"wide\"}"}) {
        window.reset();
        QFile file(StateFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        window = std::make_unique<CMainDlg>();
        window->Create();
        EXPECT_EQ(QtWidget(*window)->size(), LayoutSize()) << bytes;
        EXPECT_TRUE(dialogs.messages.empty()) << bytes;
    }

    // Larger than the screen: fitted to it.
    window.reset();
    QFile file(StateFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{\"width\": 9000, \"height\": 9000}");
    file.close();
    window = std::make_unique<CMainDlg>();
    window->Create();
    QtWidget(*window)->show();
    QApplication::processEvents();
    const QRect screen = QtWidget(*window)->screen()->availableGeometry();
    EXPECT_LE(QtWidget(*window)->frameGeometry().width(), screen.width());
    EXPECT_LE(QtWidget(*window)->frameGeometry().height(), screen.height());
    EXPECT_GE(QtWidget(*window)->width(), LayoutSize().width());
}

}  // namespace
