// The program's start-up settings of Qt: frames at fractional screen scales,
// Qt's own texts in Russian, and no settings file of Qt's. What Qt reads only
// while the application starts runs in a child process of this executable.

#include <QAbstractScrollArea>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>

#include "UiTest.h"

namespace {

constexpr char kChildVariable[] = "QS_SETUP_CHILD";

bool InChild(const char* test) { return qgetenv(kChildVariable) == test; }

// Runs InOwnProcess.<test> in a new process with these variables added.
void RunInChild(const char* test, const QProcessEnvironment& extra) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(extra);
    environment.insert(kChildVariable, test);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=InOwnProcess.") + test});
    ASSERT_TRUE(child.waitForFinished(60000)) << test;
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    // A skipped test passes too: make sure it ran.
    EXPECT_TRUE(output.contains(QStringLiteral("[       OK ] InOwnProcess."))) << output.toStdString();
}

bool IsRussian(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar ch) { return ch.unicode() >= 0x410 && ch.unicode() <= 0x44F; });
}

TEST(StartUp, QtsOwnDialogsAndMenusSpeakRussian) {
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    for (auto label : {QFileDialog::LookIn, QFileDialog::FileName, QFileDialog::FileType})
        EXPECT_TRUE(IsRussian(dialog.labelText(label))) << dialog.labelText(label).toStdString();
    EXPECT_TRUE(
        IsRussian(QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")));

    CRichEdit view;
    view.setPlainText(QStringLiteral("text"));
    const std::unique_ptr<QMenu> menu(view.createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            EXPECT_TRUE(IsRussian(action->text())) << action->text().toStdString();
        }
    }
}

// How far below the background a pixel of a frame line is, in grey levels.
constexpr int kFrameContrast = 24;

// Whether a line darker than the background runs along the middle half of
// one edge of a box given in device pixels: within the device pixels that
// the box's outermost logical pixel covers.
bool FrameAlong(const QImage& shot, const QRectF& box, qreal dpr, Qt::Edge edge, QRgb background) {
    const bool vertical = edge == Qt::LeftEdge || edge == Qt::RightEdge;
    const qreal start = edge == Qt::LeftEdge    ? box.left()
                        : edge == Qt::TopEdge   ? box.top()
                        : edge == Qt::RightEdge ? box.right() - dpr
                                                : box.bottom() - dpr;
    const int first = static_cast<int>(std::floor(start));
    const int last = static_cast<int>(std::ceil(start + dpr)) - 1;
    const qreal length = vertical ? box.height() : box.width();
    const qreal from = (vertical ? box.top() : box.left()) + length / 4;
    int rows = 0;
    int lined = 0;
    for (int along = static_cast<int>(from); along < from + length / 2; ++along, ++rows) {
        for (int across = first; across <= last; ++across) {
            const QPoint at = vertical ? QPoint(across, along) : QPoint(along, across);
            if (!shot.valid(at)) continue;
            if (qGray(shot.pixel(at)) <= qGray(background) - kFrameContrast) {
                ++lined;
                break;
            }
        }
    }
    return rows > 0 && lined * 10 >= rows * 9;
}

TEST(InOwnProcess, FramesShowAtThisScale) {
    if (!InChild("FramesShowAtThisScale")) GTEST_SKIP() << "started by StartUp.FramesShow...";
    const double scale = qEnvironmentVariable("QS_SCALE").toDouble();
    const QStringList base = qEnvironmentVariable("QS_BASE_SIZE").split(QLatin1Char(' '));
    ASSERT_GE(scale, 1.0);
    ASSERT_EQ(base.size(), 2);

    CMainDlg window;
    window.Create();
    QtWidget(window)->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(QtWidget(window)));
    const qreal dpr = QtWidget(window)->devicePixelRatioF();
    // The window grows with the screen's scale, whichever part Qt gives the
    // device pixel ratio and whichever the fonts.
    EXPECT_GE(QtWidget(window)->width() * dpr, 0.9 * scale * base[0].toInt());
    EXPECT_GE(QtWidget(window)->height() * dpr, 0.9 * scale * base[1].toInt());
    // So do lengths given in pixels.
    EXPECT_NEAR(Tabs(window)->PageOrigin().x() * dpr, 4 * scale, 0.5);

    const QRgb background = QtWidget(window)->palette().color(QPalette::Window).rgb();
    auto deviceRect = [&](const QWidget* widget) {
        const QPoint at = widget->mapTo(QtWidget(window), QPoint(0, 0));
        return QRectF(at.x() * dpr, at.y() * dpr, widget->width() * dpr, widget->height() * dpr);
    };
    auto expectFrame = [&](const QImage& shot, const QRectF& box, const QWidget* widget,
                           std::initializer_list<Qt::Edge> edges) {
        const char* names[] = {"", "top", "left", "", "right", "", "", "", "bottom"};
        for (Qt::Edge edge : edges)
            EXPECT_TRUE(FrameAlong(shot, box, dpr, edge, background))
                << (widget->isEnabled() ? "" : "disabled ") << widget->metaObject()->className() << " "
                << widget->objectName().toStdString() << ": no " << names[edge] << " edge at scale " << scale;
    };

    QFrame* panel = Tabs(window)->findChild<QFrame*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(panel, nullptr);
    for (int tab : {1, 2, 3}) {
        Tabs(window)->tabBar()->setCurrentIndex(tab);
        QWidget* page = QtWidget(*window.PageOfTab(tab));
        ASSERT_TRUE(page->isVisible());
        const QImage shot = QtWidget(window)->grab().toImage();
        ASSERT_EQ(shot.width(), qRound(QtWidget(window)->width() * dpr));
        const QRectF panelBox = deviceRect(panel);
        expectFrame(shot, panelBox, panel, {Qt::LeftEdge, Qt::RightEdge, Qt::BottomEdge});
        // The tabs stand on the panel's top edge: it shows right of them.
        const QRectF bar = deviceRect(Tabs(window)->tabBar());
        expectFrame(shot, panelBox.adjusted(bar.width(), 0, 0, 0), panel, {Qt::TopEdge});
        int boxes = 0;
        const auto controls = page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (QWidget* control : controls) {
            if (!control->isVisible()) continue;
            if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QAbstractScrollArea*>(control)) continue;
            ++boxes;
            expectFrame(shot, deviceRect(control), control, {Qt::LeftEdge, Qt::TopEdge, Qt::RightEdge, Qt::BottomEdge});
        }
        EXPECT_GT(boxes, 3) << "tab " << tab;
    }

    // The banner grows with the scale as the rest does, the licence below it.
    CAboutPage& about = window.aboutPage();
    const QRect banner = ToQRect(about.BannerRect());
    EXPECT_NEAR(banner.width() * dpr, about.banner().size().width * scale, 2.0);
    EXPECT_NEAR(banner.height() * dpr, about.banner().size().height * scale, 2.0);
    EXPECT_GT(QtItem(about, AboutId::Licence)->geometry().top(), banner.bottom());
}

TEST(StartUp, FramesShowAtFractionalScale) {
    CMainDlg window;
    window.Create();
    const qreal dpr = QtWidget(window)->devicePixelRatioF();
    const QString baseSize = QStringLiteral("%1 %2")
                                 .arg(qRound(QtWidget(window)->width() * dpr))
                                 .arg(qRound(QtWidget(window)->height() * dpr));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // 100 %, 125 %, 150 % and 200 %, as the desktop's DPI setting gives them.
    for (int dpi : {96, 120, 144, 192}) {
        const QString config = folder.filePath(QStringLiteral("screen-%1.json").arg(dpi));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"screens": [{"name": "screen", "x": 0, "y": 0,
            "width": 2400, "height": 1800, "logicalDpi": %1, "logicalBaseDpi": 96, "dpr": 1}]})")
                       .arg(dpi)
                       .toUtf8());
        file.close();
        QProcessEnvironment extra;
        extra.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
        extra.insert(QStringLiteral("QS_SCALE"), QString::number(dpi / 96.0));
        extra.insert(QStringLiteral("QS_BASE_SIZE"), baseSize);
        RunInChild("FramesShowAtThisScale", extra);
    }
    // 150 % asked for by the user's own variable, on a screen with room.
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("QT_QPA_PLATFORM"),
                 QStringLiteral("offscreen:configfile=") + folder.filePath(QStringLiteral("screen-96.json")));
    extra.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1.5"));
    extra.insert(QStringLiteral("QS_SCALE"), QStringLiteral("1.5"));
    extra.insert(QStringLiteral("QS_BASE_SIZE"), baseSize);
    RunInChild("FramesShowAtThisScale", extra);
}

TEST(InOwnProcess, EveryControlComesIntoView) {
    if (!InChild("EveryControlComesIntoView")) GTEST_SKIP() << "started by StartUp.WindowFits...";
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    CMainDlg window;
    window.Create();
    QtWidget(window)->show();
    QtWidget(window)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtWidget(window)));
    const QRect room = QtWidget(window)->screen()->availableGeometry();
    EXPECT_LE(QtWidget(window)->width(), room.width());
    EXPECT_LE(QtWidget(window)->height(), room.height());

    auto inView = [&](QWidget* control) {
        control->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        const QRect box(control->mapTo(QtWidget(window), QPoint(0, 0)), control->size());
        // Of a control taller than the window, its top.
        return QtWidget(window)->rect().contains(box) ||
               (box.height() > QtWidget(window)->height() && QtWidget(window)->rect().contains(box.topLeft()));
    };
    int reached = 0;
    for (int tab = 0; tab < Tabs(window)->tabBar()->count(); ++tab) {
        Tabs(window)->tabBar()->setCurrentIndex(tab);
        for (QWidget* control : QtWidget(*window.PageOfTab(tab))->findChildren<QWidget*>()) {
            if (!control->isVisible() || !control->isEnabled() || !(control->focusPolicy() & Qt::TabFocus)) continue;
            ++reached;
            EXPECT_TRUE(inView(control)) << "tab " << tab << " " << control->objectName().toStdString();
        }
    }
    for (MainId id : {MainId::New, MainId::Save, MainId::Open, MainId::OpenForm, MainId::SaveForm})
        EXPECT_TRUE(inView(QtItem(window, id))) << static_cast<int>(id);
    EXPECT_GT(reached, 20);
}

// 1366 × 768 at 125 % with an 11 pt desktop font: the window is taller than
// the screen has room for, so it shrinks and scrolls to whatever has the focus.
TEST(StartUp, WindowFitsSmallScreen) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString config = folder.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1366, "height": 768,
        "logicalDpi": 120, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
    RunInChild("EveryControlComesIntoView", extra);
}

TEST(InOwnProcess, FileDialogRuns) {
    if (!InChild("FileDialogRuns")) GTEST_SKIP() << "started by StartUp.FileDialog...";
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shown = true;
            dialog->reject();
        }
    });
    EXPECT_FALSE(OpenFileDialog(nullptr, " Text (*.txt) |*.txt||", "text"));
    EXPECT_TRUE(shown);
}

TEST(StartUp, FileDialogLeavesNoQtSettingsFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("HOME"), folder.filePath(QStringLiteral("home")));
    extra.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    RunInChild("FileDialogRuns", extra);
    QDirIterator files(folder.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        EXPECT_FALSE(files.fileName().startsWith(QStringLiteral("QtProject"))) << files.filePath().toStdString();
    }
}

}  // namespace
