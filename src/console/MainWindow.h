// The server console: the one window that stays open while the program runs. It holds the
// server list, the commands that change it, the group selector, the connection options and the
// temporary login form.
#pragma once

#include <QWidget>
#include <memory>
#include <set>
#include <vector>

#include "ConsoleServices.h"
#include "MessageBoxes.h"
#include "Reordering.h"
#include "SessionLauncher.h"
#include "store/ProgramState.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

namespace vardex {

class OnlineMonitor;
class ServerListModel;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(ProgramState& state, ConsoleServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The creation handler; false when this copy must end at once (nothing is saved then).
    bool SetUp();

    // The list's three fills.
    void FillServerList();
    void SearchServers();
    void ShowAllServers();
    // The item value of the first selected row, or 0 when none is selected.
    int SelectedRecordIndex() const;

    // The store's settings as the controls hold them.
    WindowSettings CurrentWindowSettings() const;
    void ApplyWindowSettings(const WindowSettings& settings);
    // Writes ms.ini; a failure is told to the user once per kind of failure.
    void SaveStore();
    // Writes fz.ini from the window's combo boxes, with the same reporting.
    void SaveGroups();

    ServerListModel& ListModel() const { return *model_; }
    QTableView& ListView() const { return *serverList_; }
    ProgramState& State() const { return state_; }
    OnlineMonitor* Monitor() const { return monitor_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void SetResolutionChoice(int choice);
    void SaveAll();
    enum class SaveProblem { Store, StoreBackup, Groups };
    void ReportSaveProblem(SaveProblem kind, const std::string& path, const std::string& reason);
    enum class GroupCommand { Add, Rename, Delete };
    void RunGroupCommand(GroupCommand command);

    void OnGroupPicked();
    void OnCurrentRowChanged();
    void AddServer();
    void ModifyServer();
    void DeleteServer();
    void OpenEditor(int editIndex);
    void MoveServers(MoveDirection direction);
    void ConnectSelectedServer();
    void TemporaryLogin();
    LaunchOptions CurrentLaunchOptions() const;
    bool Launch(const LaunchRequest& request);
    void ShowMessage(const QString& text, const QString& title, MessageIcon icon);
    void ShowNoSelection();

    ProgramState& state_;
    ConsoleServices services_;
    bool setUp_ = false;
    std::set<SaveProblem> reportedSaveProblems_;

    ServerListModel* model_ = nullptr;
    std::unique_ptr<OnlineMonitor> monitor_;  // goes before the list it writes to
    QTableView* serverList_ = nullptr;
    QTimer* monitorTimer_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* modify_ = nullptr;
    QPushButton* startupPassword_ = nullptr;
    QLineEdit* searchText_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* showAll_ = nullptr;
    QPushButton* moveUp_ = nullptr;
    QPushButton* moveDown_ = nullptr;
    QComboBox* groups_ = nullptr;
    QLineEdit* groupName_ = nullptr;
    QPushButton* addGroup_ = nullptr;
    QPushButton* renameGroup_ = nullptr;
    QPushButton* deleteGroup_ = nullptr;
    QLabel* link_ = nullptr;
    QRadioButton* resolution_[4] = {};
    QButtonGroup* resolutionGroup_ = nullptr;
    QLineEdit* customWidth_ = nullptr;
    QLineEdit* customHeight_ = nullptr;
    QCheckBox* disks_ = nullptr;
    QCheckBox* admin_ = nullptr;
    QLineEdit* tempAddress_ = nullptr;
    QLineEdit* tempAccount_ = nullptr;
    QLineEdit* tempPassword_ = nullptr;
    QLineEdit* tempPort_ = nullptr;
    QPushButton* tempLogin_ = nullptr;
};

}  // namespace vardex
