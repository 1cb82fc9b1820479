#include "UpdateProxyConstants.h"

const char g_strUpdateCheckAgain[] = "请重新检查！";
const char g_strUpdateNoVersion[] = "没有可升级的版本！";
const char g_strUpdateBusy[] = "已有升级中的任务！";
const char g_strUpdateNotInstalled[] = "本机未安装此版本！";
const char g_strUpdateAlreadyCurrent[] = "已经升级到此版本！";
const char g_strUpdateFailed[] = "升级失败（%1）！";

const char g_strProgressLabelStyle[] =
    "QLabel{color:#212530;font-family: \"Microsoft YaHei\"; font-size: 12px;}";
const char g_strProgressTitleBarStyle[] =
    "QToolButton#m_pQueryClose "
    "{border-image:url(:/ProgressForm/Icons/ProgressForm/close_default.png);}"
    "QToolButton#m_pQueryClose:hover "
    "{border-image:url(:/ProgressForm/Icons/ProgressForm/close_hover.png);}"
    "QToolButton#m_pQueryClose:pressed "
    "{border-image:url(:/ProgressForm/Icons/ProgressForm/close_press.png);}"
    "QWidget#m_pTitleBar{background:#F5F5F5;border-top-left-radius: 4px;border-top-right-radius: "
    "4px;}"
    "QLabel#m_pTitleLabel{color: #212530;font: 12px Microsoft YaHei "
    "UI;background-color::#F5F5F5;}";
const char g_strProgressBarStyle[] =
    "QProgressBar { border: 1px solid #BFBFBF; background-color: #ffffff; border-radius: 6px; }"
    "QProgressBar::chunk {background-color: #4499ff; border-radius: 5px;}";
