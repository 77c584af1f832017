#include "app/preview/CPreviewWnd.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "app/preview/PreviewLoader.h"
#include "formats/ReleaseTexts.h"
#include "platform/Dialogs.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtText.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"

namespace {

constexpr std::string_view kEngineMissing = "Предпросмотр недоступен: нет браузерного движка (Qt WebEngine). "_cp;
constexpr std::string_view kEngineMissingHint = "Проверки справа работают."_cp;
constexpr std::string_view kEngineStopped =
    "Предпросмотр остановился: процесс браузерного движка завершился. Страница вернётся при следующем изменении формы."_cp;

}  // namespace

CPreviewWnd::CPreviewWnd(const TemplatePackage& package, PreviewCapture capture, QWidget* owner)
    : QWidget(owner, Qt::Window), m_package(package), m_capture(std::move(capture)), m_resources(package) {
    setWindowTitle(ToQString(kPreviewTitle));
    setObjectName(QStringLiteral("preview"));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* shown = new QWidget(splitter);
    auto* shownLayout = new QVBoxLayout(shown);
    shownLayout->setContentsMargins(0, 0, 0, 0);
    auto* strip = new QHBoxLayout;
    m_formatTabs = new QTabBar(shown);
    m_formatTabs->setObjectName(QStringLiteral("formats"));
    m_formatTabs->setDrawBase(false);
    m_formatTabs->setFocusPolicy(Qt::StrongFocus);
    m_formatTabs->addTab(ToQString(kPageCaption));
    for (const ShownFormat& text : kTextFormats) m_formatTabs->addTab(ToQString(text.caption));
    strip->addWidget(m_formatTabs);
    strip->addStretch(1);
    m_copy = new QPushButton(ToQString(kCopyText), shown);
    m_copy->setObjectName(QStringLiteral("copy"));
    m_copy->setEnabled(false);
    strip->addWidget(m_copy);
    shownLayout->addLayout(strip);
    m_tabPages = new QStackedWidget(shown);
    shownLayout->addWidget(m_tabPages, 1);

    auto* page = new QWidget(m_tabPages);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    m_engineLine = new QLabel(page);
    m_engineLine->setObjectName(QStringLiteral("engineLine"));
    m_engineLine->setWordWrap(true);
    pageLayout->addWidget(m_engineLine);

    const preview::Module& module = preview::LoadModule();
    if (module.ok()) m_view.reset(module.createView(preview::kInterfaceVersion, page));
    if (m_view) {
        m_engineLine->hide();
        m_view->SetResolver(m_resources.Resolver());
        m_view->SetLoadedCallback([this](bool ok) { OnLoaded(ok); });
        m_view->SetFailedCallback([this](const std::string& why) { OnEngineFailed(why); });
        pageLayout->addWidget(m_view->widget(), 1);
    } else {
        // One line for the user; what the loader said, for whoever helps them.
        m_engineLine->setText(ToQString(kEngineMissing) + ToQString(kEngineMissingHint));
        m_engineLine->setToolTip(QString::fromStdString(
            module.ok() ? "the engine cannot start: its QtWebEngineProcess is not found" : module.error));
        m_engineLine->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        pageLayout->addStretch(1);
    }

    m_tabPages->addWidget(page);
    for (std::size_t i = 0; i < m_textViews.size(); ++i) {
        auto* view = new QPlainTextEdit(m_tabPages);
        view->setObjectName(QStringLiteral("text%1").arg(i));
        view->setReadOnly(true);
        // Selectable and copied by keys as well as by the button.
        view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
        if (kTextFormats[i].format == ReleaseFormat::PlainText)
            view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        m_textViews[i] = view;
        m_tabPages->addWidget(view);
    }
    m_textBehind.fill(true);
    connect(m_formatTabs, &QTabBar::currentChanged, this, [this](int tab) {
        m_tabPages->setCurrentIndex(tab);
        m_copy->setEnabled(tab > 0);
        ShowTab();
    });
    connect(m_copy, &QPushButton::clicked, this, [this] {
        const int text = m_formatTabs->currentIndex() - 1;
        if (text >= 0) SetClipboardText(HandleOf(this), m_shownTexts[static_cast<std::size_t>(text)]);
    });
    // From anywhere in the window, as a tab widget's keys go.
    for (const auto& [key, step] :
         {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1}, std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
          std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
          std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { NextTab(step); });
    }

    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(ToQString(kChecksTitle), side));
    m_checkList = new QListWidget(side);
    m_checkList->setObjectName(QStringLiteral("checks"));
    m_checkList->setWordWrap(true);
    sideLayout->addWidget(m_checkList, 1);
    connect(m_checkList, &QListWidget::itemActivated, this, &CPreviewWnd::OnCheckActivated);
    connect(m_checkList, &QListWidget::itemClicked, this, &CPreviewWnd::OnCheckActivated);
    m_keepLineBreaks = new QPushButton(ToQString(kKeepLineBreaksOffer), side);
    m_keepLineBreaks->setObjectName(QStringLiteral("keepLineBreaks"));
    m_keepLineBreaks->setEnabled(false);
    sideLayout->addWidget(m_keepLineBreaks);
    connect(m_keepLineBreaks, &QPushButton::clicked, this, [this] {
        if (m_onOfferTaken) m_onOfferTaken(CheckOffer::KeepLineBreaks);
    });

    splitter->addWidget(shown);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    // The page takes three quarters from the start, whatever the list asks.
    splitter->setSizes({3000, 1000});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { UpdateNow(); });
}

CPreviewWnd::~CPreviewWnd() {
    // The engine's page goes while its widgets still stand.
    m_view.reset();
}

void CPreviewWnd::FormChanged() {
    m_dirty = true;
    Schedule();
}

void CPreviewWnd::Schedule() {
    // A load the engine never finishes (its process gone) holds back no
    // change for long.
    if (m_loading && m_sinceLoad.elapsed() > kLoadGiveUpMs) m_loading = false;
    if (!isVisible() || !m_dirty || m_loading) return;
    // The first change after a quiet spell shows at once; while the user
    // types, one load every kMinIntervalMs takes in all that came between.
    const qint64 since = m_sinceUpdate.isValid() ? m_sinceUpdate.elapsed() : kMinIntervalMs;
    const int wait = since >= kMinIntervalMs ? 0 : static_cast<int>(kMinIntervalMs - since);
    if (!m_timer.isActive() || m_timer.remainingTime() > wait) m_timer.start(wait);
}

void CPreviewWnd::UpdateNow() {
    m_timer.stop();
    m_dirty = false;
    // A text tab, which loads nothing, keeps the page's pace too.
    m_sinceUpdate.start();
    PreviewSnapshot snapshot = m_capture();
    m_checks.Update(snapshot);
    ShowChecks();
    m_form = std::move(snapshot.form);
    m_baseFolder = std::move(snapshot.baseFolder);
    m_pageBehind = true;
    m_textBehind.fill(true);
    ShowTab();
}

void CPreviewWnd::ShowTab() {
    const int tab = m_formatTabs->currentIndex();
    if (tab > 0)
        ShowText(tab - 1);
    else
        ShowPage();
}

void CPreviewWnd::ShowPage() {
    if (!m_view || !m_pageBehind) return;
    m_pageBehind = false;
    Text html = BuildReadmeHtml(m_form, m_package);
    m_resources.SetForm(m_form, m_baseFolder);
    // The Database page, say, changes no byte of the readme: the page stays.
    if (html == m_shownHtml && m_sinceLoad.isValid()) return;
    m_shownHtml = html;
    m_loading = true;
    m_sinceLoad.start();
    m_view->SetDocument(std::move(html));
}

void CPreviewWnd::ShowText(int text) {
    const auto at = static_cast<std::size_t>(text);
    if (!m_textBehind[at]) return;
    m_textBehind[at] = false;
    std::string utf8 = ReleaseTextUtf8(kTextFormats[at].format, m_form, m_package);
    if (utf8 == m_shownTexts[at]) return;  // the selection and the place stay
    QPlainTextEdit* view = m_textViews[at];
    // The place the user read at, as near as the new text has it.
    const int down = view->verticalScrollBar()->value();
    const int across = view->horizontalScrollBar()->value();
    view->setPlainText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    view->verticalScrollBar()->setValue(down);
    view->horizontalScrollBar()->setValue(across);
    m_shownTexts[at] = std::move(utf8);
}

void CPreviewWnd::NextTab(int step) {
    const int count = m_formatTabs->count();
    m_formatTabs->setCurrentIndex((m_formatTabs->currentIndex() + step + count) % count);
    m_formatTabs->setFocus(Qt::ShortcutFocusReason);
}

void CPreviewWnd::OnLoaded(bool ok) {
    m_loading = false;
    if (ok) m_engineLine->hide();
    if (m_afterLoad) m_afterLoad();
    Schedule();
}

void CPreviewWnd::OnEngineFailed(const std::string& why) {
    // The form is not touched; the next change loads the page anew, in a
    // new process of the engine's.
    m_loading = false;
    m_shownHtml.clear();
    m_engineLine->setText(ToQString(kEngineStopped));
    m_engineLine->setToolTip(QString::fromStdString(why));
    m_engineLine->show();
}

void CPreviewWnd::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_dirty) Schedule();
}

void CPreviewWnd::ShowChecks() {
    m_keepLineBreaks->setEnabled(m_checks.Offers(CheckOffer::KeepLineBreaks));
    m_checkList->clear();
    const std::vector<Text> lines = m_checks.Lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto* item = new QListWidgetItem(ToQString(lines[i]), m_checkList);
        if (m_checks.checks().empty())
            item->setFlags(Qt::ItemIsEnabled);  // nothing to fix: nothing to choose
        else
            item->setData(Qt::UserRole, static_cast<int>(i));
    }
}

void CPreviewWnd::OnCheckActivated(QListWidgetItem* item) {
    bool isCheck = false;
    const int line = item->data(Qt::UserRole).toInt(&isCheck);
    const CheckedField* field = isCheck ? m_checks.FieldOfLine(line) : nullptr;
    if (field && m_onFieldChosen) m_onFieldChosen(*field);
}
