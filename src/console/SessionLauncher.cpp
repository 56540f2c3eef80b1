#include "SessionLauncher.h"

#include "GbkQt.h"
#include "MessageBoxes.h"
#include "launch/LocalDevices.h"
#include "platform/ClientStarter.h"

namespace vardex {
namespace {

QString FieldName(ConnectionField field) {
    switch (field) {
        case ConnectionField::Address:
            return QStringLiteral("地址");
        case ConnectionField::Port:
            return QStringLiteral("端口");
        case ConnectionField::Account:
            return QStringLiteral("账号");
        case ConnectionField::Password:
            break;
    }
    return QStringLiteral("密码");
}

}  // namespace

SessionLauncher::SessionLauncher(DataProtection& protection, Registry& registry,
                                 ClientStarter& starter, MessageBoxes& messages)
    : protection_(protection), registry_(registry), starter_(starter), messages_(messages) {}

void SessionLauncher::Refuse(const QString& text) {
    messages_.Show(text, QStringLiteral("连接失败"), MessageButtons::Ok, MessageIcon::Stop);
}

bool SessionLauncher::Launch(const LaunchRequest& request) {
    const auto folder = ConnectionFolder();
    if (!folder) {
        Refuse(QStringLiteral("没有可用的私有临时文件夹，无法写入连接文件。"));
        return false;
    }
    const auto name = ConnectionFileName(request.fileName);
    if (!name) {
        Refuse(QStringLiteral("服务器的备注和地址都不能用作连接文件名。"));
        return false;
    }
    const ConnectionText text = BuildConnectionText(request.fields, protection_);
    if (!text.ok()) {
        // A line break would add lines of its own to the connection file.
        Refuse(QStringLiteral("%1中不能包含换行符。").arg(FieldName(*text.refused)));
        return false;
    }
    const std::string path = ConnectionFilePath(*folder, *name);
    WriteConnectionFile(path, text.text);  // a failed write shows when the client reads it
    EnsureLocalDevicesValue(registry_, request.fields.address);
    const std::string commandLine =
        BuildClientCommandLine(path, BuildClientOptions(request.options));
    const ClientStartResult started = starter_.Start(commandLine);
    if (!started.started) {
        const QString client = QString::fromStdString(started.clientName);
        Refuse(started.problem == ClientStartProblem::ClientMissing
                   ? QStringLiteral("找不到远程桌面客户端“%1”，请先安装它。").arg(client)
                   : QStringLiteral("无法启动远程桌面客户端“%1”：%2")
                         .arg(client, QString::fromStdString(started.reason)));
        return false;
    }
    return true;
}

}  // namespace vardex
