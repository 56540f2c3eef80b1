#include "MainWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

#include "ComboBoxes.h"
#include "GbkQt.h"
#include "InputGuard.h"
#include "MessageBoxes.h"
#include "OnlineMonitor.h"
#include "Reordering.h"
#include "ServerEditor.h"
#include "ServerListModel.h"
#include "ServerListRules.h"
#include "groups/GroupCatalogue.h"
#include "store/StoreFormat.h"

#ifndef VARDEX_HOME_PAGE
#define VARDEX_HOME_PAGE ""
#endif

namespace vardex {
namespace {

constexpr int kMonitorPeriodMs = 120000;
constexpr int kMonitorPeriodAfterDeleteMs = 3000;

template <typename Widget, typename... Args>
Widget* Place(QWidget* parent, const char* name, int x, int y, int w, int h, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const char* caption, int x, int y,
                         int w, int h) {
    return Place<QPushButton>(parent, name, x, y, w, h, QString::fromUtf8(caption));
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const char* caption, int x, int y, int w,
                   int h) {
    return Place<QLabel>(parent, name, x, y, w, h, QString::fromUtf8(caption));
}

// The custom size reaches the store as it is typed, so the store's rules for texts are its own.
QString CustomSizeRefusal(const QString& text) {
    const std::optional<std::string> gbk = ToGbk(text);
    const std::string_view bad = gbk ? UnstorableTextIn(*gbk) : std::string_view();
    if (bad.empty()) {
        return QString();  // a character GBK cannot hold is refused before this rule
    }
    return UnstorableRefusal(QStringLiteral("自定义分辨率"), bad) + QStringLiteral("。");
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, ConsoleServices services, QWidget* parent)
    : QWidget(parent), state_(state), services_(std::move(services)) {
    BuildControls();
    ConnectHandlers();
}

MainWindow::~MainWindow() {
    // The window is going away: the second save, as on every close.
    if (setUp_) {
        SaveAll();
    }
}

void MainWindow::BuildControls() {
    setWindowTitle(QStringLiteral("Vardex"));
    QFont font = this->font();
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    setFont(font);
    move(50, 50);
    setFixedSize(712, 555);

    auto* serverBox =
        Place<QGroupBox>(this, "分组框2", 8, 5, 696, 355, QStringLiteral("服务器控制"));
    serverList_ = Place<QTableView>(serverBox, "超级列表框1", 8, 15, 680, 329);
    model_ = new ServerListModel(state_.table, this);
    serverList_->setModel(model_);
    serverList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    serverList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    serverList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    serverList_->setShowGrid(true);
    serverList_->setWordWrap(false);
    serverList_->setSortingEnabled(false);
    serverList_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    serverList_->verticalHeader()->hide();
    serverList_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    serverList_->verticalHeader()->setDefaultSectionSize(17);
    serverList_->horizontalHeader()->setSectionsClickable(false);
    serverList_->horizontalHeader()->setHighlightSections(false);
    serverList_->horizontalHeader()->setStretchLastSection(false);
    const int widths[] = {180, 50, 150, 80, 210};
    for (int column = 0; column < 5; ++column) {
        serverList_->setColumnWidth(column, widths[column]);
    }
    QFont listFont;
    listFont.setFamilies(
        {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
    listFont.setPixelSize(12);
    serverList_->setFont(listFont);
    serverList_->setIconSize(QSize(12, 13));
    // The selection stays visible while the list has no focus.
    QPalette palette = serverList_->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    serverList_->setPalette(palette);
    serverList_->viewport()->installEventFilter(this);

    monitorTimer_ = new QTimer(this);
    monitorTimer_->setObjectName(QStringLiteral("时钟1"));
    monitorTimer_->setInterval(kMonitorPeriodMs);

    auto* controls = Place<QGroupBox>(this, "分组框4", 8, 363, 696, 184, QString());
    connect_ = PlaceButton(controls, "按钮_连接服务器", "连接", 584, 16, 100, 30);
    add_ = PlaceButton(controls, "按钮_添加服务器", "添加", 584, 48, 100, 30);
    remove_ = PlaceButton(controls, "按钮_删除服务器", "删除", 584, 80, 100, 30);
    modify_ = PlaceButton(controls, "按钮_设置服务器", "修改", 584, 112, 100, 30);
    startupPassword_ = PlaceButton(controls, "按钮_启动密码", "启动密码", 584, 145, 100, 30);
    connect_->setEnabled(false);
    remove_->setEnabled(false);
    searchText_ = Place<QLineEdit>(controls, "编辑框2", 20, 14, 168, 24);
    search_ = PlaceButton(controls, "按钮5", "搜索", 200, 15, 56, 24);
    showAll_ = PlaceButton(controls, "按钮6", "返回", 264, 15, 56, 24);
    moveUp_ = PlaceButton(controls, "按钮7", "上调↑", 349, 13, 54, 28);
    moveDown_ = PlaceButton(controls, "按钮8", "下调↓", 419, 13, 54, 28);
    PlaceLabel(controls, "透明标签2", "显示分组", 11, 133, 56, 16);
    groups_ = Place<QComboBox>(controls, "组合框1", 75, 131, 104, 20);
    groups_->addItem(QStringLiteral("所有分组"), 0);
    groups_->setCurrentIndex(0);
    groupName_ = Place<QLineEdit>(controls, "编辑框1", 195, 130, 88, 20);
    addGroup_ = PlaceButton(controls, "按钮2", "加入分组", 307, 131, 72, 24);
    renameGroup_ = PlaceButton(controls, "按钮3", "修改分组", 395, 131, 72, 24);
    deleteGroup_ = PlaceButton(controls, "按钮4", "删除分组", 483, 131, 72, 24);
    link_ = PlaceLabel(controls, "超级链接框1", "", 16, 156, 544, 24);
    link_->setText(QStringLiteral("<a href=\"%1\">Vardex 使用说明（README）</a>")
                       .arg(QString::fromUtf8(VARDEX_HOME_PAGE)));
    link_->setOpenExternalLinks(true);

    auto* resolutionBox =
        Place<QGroupBox>(controls, "分组框3", 479, 12, 92, 112, QStringLiteral("分辨率"));
    resolutionGroup_ = new QButtonGroup(this);
    const char* names[] = {"单选框_分辨1", "单选框_分辨2", "单选框_分辨3", "单选框_分辨4"};
    const char* captions[] = {"800*600", "1024*768", "全屏幕", "自定义"};
    const int tops[] = {15, 34, 53, 73};
    for (int i = 0; i < 4; ++i) {
        resolution_[i] = Place<QRadioButton>(resolutionBox, names[i], 9, tops[i], 72, 16,
                                             QString::fromUtf8(captions[i]));
        resolutionGroup_->addButton(resolution_[i], i + 1);
    }
    resolution_[1]->setChecked(true);
    customWidth_ = Place<QLineEdit>(resolutionBox, "编辑框3", 7, 90, 32, 16);
    PlaceLabel(resolutionBox, "透明标签1", "*", 41, 88, 8, 16);
    customHeight_ = Place<QLineEdit>(resolutionBox, "编辑框4", 50, 90, 32, 16);

    auto* modeBox =
        Place<QGroupBox>(controls, "分组框1", 359, 45, 115, 79, QStringLiteral("连接方式"));
    disks_ = Place<QCheckBox>(modeBox, "磁盘", 8, 18, 95, 24, QStringLiteral("连接本地磁盘"));
    admin_ =
        Place<QCheckBox>(modeBox, "选择框_admin", 8, 50, 95, 16, QStringLiteral("强制登陆模式"));

    auto* tempBox =
        Place<QGroupBox>(controls, "分组框5", 8, 44, 344, 80, QStringLiteral("临时远程登陆"));
    PlaceLabel(tempBox, "标签1", "IP", 8, 18, 24, 16);
    tempAddress_ = Place<QLineEdit>(tempBox, "临时IP", 32, 16, 136, 24);
    PlaceLabel(tempBox, "标签3", "账号", 176, 16, 24, 24);
    tempAccount_ = Place<QLineEdit>(tempBox, "临时账号", 208, 16, 80, 24);
    tempAccount_->setText(QStringLiteral("administrator"));
    PlaceLabel(tempBox, "标签2", "密码", 4, 48, 28, 24);
    tempPassword_ = Place<QLineEdit>(tempBox, "临时密码", 32, 47, 136, 24);
    PlaceLabel(tempBox, "标签4", "端口", 176, 48, 24, 24);
    tempPort_ = Place<QLineEdit>(tempBox, "临时端口", 208, 47, 80, 24);
    tempPort_->setText(QStringLiteral("3389"));
    tempLogin_ = PlaceButton(tempBox, "临时登陆", "登陆", 294, 16, 40, 56);

    for (QLineEdit* edit :
         {searchText_, groupName_, tempAddress_, tempAccount_, tempPassword_, tempPort_}) {
        new InputGuard(edit, *services_.messages);
    }
    for (QLineEdit* edit : {customWidth_, customHeight_}) {
        new InputGuard(edit, *services_.messages, CustomSizeRefusal);
    }
}

void MainWindow::ConnectHandlers() {
    connect(search_, &QPushButton::clicked, this, &MainWindow::SearchServers);
    connect(showAll_, &QPushButton::clicked, this, &MainWindow::ShowAllServers);
    connect(groups_, qOverload<int>(&QComboBox::activated), this, &MainWindow::OnGroupPicked);
    connect(serverList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MainWindow::OnCurrentRowChanged);
    connect(add_, &QPushButton::clicked, this, &MainWindow::AddServer);
    connect(modify_, &QPushButton::clicked, this, &MainWindow::ModifyServer);
    connect(remove_, &QPushButton::clicked, this, &MainWindow::DeleteServer);
    connect(addGroup_, &QPushButton::clicked, this, [this] { RunGroupCommand(GroupCommand::Add); });
    connect(renameGroup_, &QPushButton::clicked, this,
            [this] { RunGroupCommand(GroupCommand::Rename); });
    connect(deleteGroup_, &QPushButton::clicked, this,
            [this] { RunGroupCommand(GroupCommand::Delete); });
    connect(moveUp_, &QPushButton::clicked, this, [this] { MoveServers(MoveDirection::Up); });
    connect(moveDown_, &QPushButton::clicked, this, [this] { MoveServers(MoveDirection::Down); });
    connect(connect_, &QPushButton::clicked, this, &MainWindow::ConnectSelectedServer);
    connect(tempLogin_, &QPushButton::clicked, this, &MainWindow::TemporaryLogin);
    connect(startupPassword_, &QPushButton::clicked, this,
            [this] { services_.openStartupPasswordWindow(); });
}

bool MainWindow::SetUp() {
    if (!services_.guardSingleInstance()) {
        return false;
    }
    RestoreComboBoxes(*this, GroupFilePath(state_.runDirectory));
    ApplyWindowSettings([this] {
        WindowSettings settings = CurrentWindowSettings();
        settings.Apply(ApplyStore(state_.store.StoreBytes(), state_.table));
        return settings;
    }());
    FillServerList();
    if (services_.pinger) {
        monitor_ = std::make_unique<OnlineMonitor>(state_.table, *model_, *services_.pinger);
        monitor_->MonitorPass();
        connect(monitorTimer_, &QTimer::timeout, monitor_.get(), &OnlineMonitor::MonitorPass);
    }
    monitorTimer_->start();
    setUp_ = true;
    return true;
}

void MainWindow::FillServerList() {
    model_->SetRows(GroupFilterRows(state_.table, ToGbk(groups_->currentText()).value_or("")));
}

void MainWindow::SearchServers() {
    const auto text = ToGbk(searchText_->text());
    model_->SetRows(SearchRows(state_.table, text.value_or("")));
}

void MainWindow::ShowAllServers() {
    model_->SetRows(AllRows(state_.table));
}

int MainWindow::SelectedRecordIndex() const {
    int first = -1;
    for (const QItemSelectionRange& range : serverList_->selectionModel()->selection()) {
        if (first < 0 || range.top() < first) {
            first = range.top();
        }
    }
    return first < 0 ? 0 : model_->RecordIndexAt(first);
}

WindowSettings MainWindow::CurrentWindowSettings() const {
    WindowSettings settings;
    settings.admin = admin_->isChecked();
    settings.resolutionChoice = 0;
    for (int i = 0; i < 4; ++i) {
        if (resolution_[i]->isChecked()) {
            settings.resolutionChoice = i + 1;
        }
    }
    // The boxes refuse what GBK or the store cannot hold, so these conversions succeed.
    settings.customWidth = ToGbk(customWidth_->text()).value_or("");
    settings.customHeight = ToGbk(customHeight_->text()).value_or("");
    return settings;
}

void MainWindow::ApplyWindowSettings(const WindowSettings& settings) {
    admin_->setChecked(settings.admin);
    SetResolutionChoice(settings.resolutionChoice);
    customWidth_->setText(ToQString(settings.customWidth));
    customHeight_->setText(ToQString(settings.customHeight));
}

void MainWindow::SetResolutionChoice(int choice) {
    // An exclusive group cannot clear its last checked button; the store can ask for none.
    resolutionGroup_->setExclusive(false);
    for (int i = 0; i < 4; ++i) {
        resolution_[i]->setChecked(i + 1 == choice);
    }
    resolutionGroup_->setExclusive(true);
}

void MainWindow::ReportSaveProblem(SaveProblem kind, const std::string& path,
                                   const std::string& reason) {
    if (!reportedSaveProblems_.insert(kind).second) {
        return;  // told once; the next saves keep trying
    }
    const QString what = kind == SaveProblem::StoreBackup
                             ? QStringLiteral("无法备份服务器列表，原文件未被覆盖：%1\n%2")
                         : kind == SaveProblem::Store ? QStringLiteral("无法保存服务器列表：%1\n%2")
                                                      : QStringLiteral("无法保存分组：%1\n%2");
    services_.messages->Show(what.arg(QString::fromStdString(path), QString::fromStdString(reason)),
                             QStringLiteral("保存失败"), MessageButtons::Ok, MessageIcon::Stop);
}

void MainWindow::SaveStore() {
    const SaveOutcome outcome = state_.SaveStore(CurrentWindowSettings());
    if (!outcome.ok()) {
        ReportSaveProblem(outcome.problem == SaveOutcome::Problem::Backup ? SaveProblem::StoreBackup
                                                                          : SaveProblem::Store,
                          outcome.path, outcome.reason);
    }
}

void MainWindow::SaveGroups() {
    const std::string path = GroupFilePath(state_.runDirectory);
    WriteResult failure;
    SaveComboBoxes(*this, path, failure);
    if (!failure.ok) {
        ReportSaveProblem(SaveProblem::Groups, path, failure.reason);
    }
}

void MainWindow::SaveAll() {
    SaveStore();
    SaveGroups();
}

void MainWindow::RunGroupCommand(GroupCommand command) {
    ComboState catalogue = ComboStateOf(*groups_);
    const std::string name = ToGbk(groupName_->text()).value_or("");
    const GroupCommandResult result = command == GroupCommand::Add ? AddGroup(catalogue, name)
                                      : command == GroupCommand::Rename
                                          ? RenameGroup(catalogue, name, state_.table)
                                          : DeleteGroup(catalogue);
    const auto refuse = [this](std::string_view message) {
        services_.messages->Show(ToQString(message), MessageBoxes::DefaultTitle(),
                                 MessageButtons::Ok, MessageIcon::None);
    };
    switch (result.outcome) {
        case GroupOutcome::Duplicate:
            refuse(kDuplicateGroupMessage);
            return;
        case GroupOutcome::Unsavable:
            refuse(UnsavableGroupNameMessage(result.unsavableText));
            return;
        case GroupOutcome::TooManyGroups:
            refuse(kTooManyGroupsMessage);
            return;
        default:
            break;
    }
    ShowComboState(*groups_, catalogue);
    if (result.refillServerList) {
        FillServerList();
    }
    if (result.saveGroupFile) {
        SaveGroups();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    SaveAll();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == serverList_->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ConnectSelectedServer();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::OnGroupPicked() {
    const QString text = groups_->currentText();
    if (text != QStringLiteral("所有分组")) {
        groupName_->setText(text);
    }
    FillServerList();
}

void MainWindow::OnCurrentRowChanged() {
    remove_->setEnabled(true);
    connect_->setEnabled(true);
    const int v = SelectedRecordIndex();
    state_.table.Visit(v, [this](const ServerRecord& r) {
        tempAddress_->setText(ToQString(r.address));
        tempPort_->setText(ToQString(r.port));
    });
}

void MainWindow::ShowMessage(const QString& text, const QString& title, MessageIcon icon) {
    services_.messages->Show(text, title, MessageButtons::Ok, icon);
}

void MainWindow::ShowNoSelection() {
    ShowMessage(QStringLiteral("请选择服务器列表！"), QStringLiteral("操作错误"),
                MessageIcon::Stop);
}

void MainWindow::OpenEditor(int editIndex) {
    QStringList groupNames;
    for (int i = 0; i < groups_->count(); ++i) {
        groupNames << groups_->itemText(i);
    }
    ServerEditor editor(
        state_.table, editIndex, groupNames, *services_.messages,
        [this] {
            FillServerList();
            SaveStore();
        },
        [this] { SaveStore(); }, this);
    editor.exec();
}

void MainWindow::AddServer() {
    OpenEditor(0);
}

void MainWindow::ModifyServer() {
    const int v = SelectedRecordIndex();
    if (v <= 0) {
        ShowNoSelection();
        return;
    }
    OpenEditor(v);
    // Select the row that shows the record, wherever the current fill put it.
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->RecordIndexAt(row) == v) {
            serverList_->selectionModel()->select(
                model_->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            serverList_->scrollTo(model_->index(row, 0));
            break;
        }
    }
}

void MainWindow::DeleteServer() {
    int v = SelectedRecordIndex();
    if (v <= 0) {
        ShowNoSelection();
        return;
    }
    if (services_.messages->Show(QStringLiteral("确认删除该项？"), QStringLiteral("删除项目"),
                                 MessageButtons::OkCancel,
                                 MessageIcon::None) != MessageAnswer::Ok) {
        return;
    }
    monitorTimer_->stop();
    v = SelectedRecordIndex();
    if (v >= 1 && v <= state_.table.Count()) {
        state_.table.RemoveAt(v);
    }
    FillServerList();
    SaveStore();
    monitorTimer_->start(kMonitorPeriodAfterDeleteMs);
}

}  // namespace vardex

namespace vardex {

void MainWindow::MoveServers(MoveDirection direction) {
    if (MoveSelectedServers(*serverList_, *model_, state_.table, direction) ==
        MoveOutcome::AtTheEnd) {
        services_.messages->Show(QStringLiteral("已经到头了"), MessageBoxes::DefaultTitle(),
                                 MessageButtons::Ok, MessageIcon::None);
        return;
    }
    SaveStore();
}

void MainWindow::ConnectSelectedServer() {
    const int v = SelectedRecordIndex();
    const auto record = v > 0 ? state_.table.At(v) : std::nullopt;
    if (!record) {
        ShowNoSelection();
        return;
    }
    connect_->setEnabled(false);
    Launch({FieldsForServer(*record, disks_->isChecked()),
            record->remark.empty() ? record->address : record->remark, CurrentLaunchOptions()});
    connect_->setEnabled(true);
}

void MainWindow::TemporaryLogin() {
    // The boxes refuse what GBK cannot hold, so these conversions succeed.
    const auto text = [](const QLineEdit* edit) { return ToGbk(edit->text()).value_or(""); };
    LaunchRequest request;
    request.fields.address = text(tempAddress_);
    request.fields.port = text(tempPort_);
    request.fields.account = text(tempAccount_);
    request.fields.password = text(tempPassword_);  // always present, also when empty
    request.fields.redirectDisks = disks_->isChecked();
    request.fileName = request.fields.address;
    request.options = CurrentLaunchOptions();
    if (request.fields.address.empty()) {
        ShowMessage(QStringLiteral("请输入要登陆的服务器地址。"), QStringLiteral("操作错误"),
                    MessageIcon::Stop);
        return;
    }
    Launch(request);
}

LaunchOptions MainWindow::CurrentLaunchOptions() const {
    LaunchOptions options;
    options.size800x600 = resolution_[0]->isChecked();
    options.size1024x768 = resolution_[1]->isChecked();
    options.fullScreen = resolution_[2]->isChecked();
    options.customSize = resolution_[3]->isChecked();
    options.customWidth = ToGbk(customWidth_->text()).value_or("");
    options.customHeight = ToGbk(customHeight_->text()).value_or("");
    options.forcedLogin = admin_->isChecked();
    return options;
}

bool MainWindow::Launch(const LaunchRequest& request) {
    if (!services_.protection || !services_.registry || !services_.clientStarter) {
        return false;
    }
    SessionLauncher launcher(*services_.protection, *services_.registry, *services_.clientStarter,
                             *services_.messages);
    return launcher.Launch(request);
}

}  // namespace vardex
