#include "ui/settings_dialog.h"

namespace corvane {
namespace {

const SettingsField kFields[kSettingsFieldCount] = {
    {"Edtcom", 97, 24, "IC卡串口位置：", "HardWare", "Com", "2"},
    {"EdtReadType", 97, 60, "读卡器类型：", "HardWare", "ReadType", "501"},
    {"EdtCardType", 312, 24, "卡类型：", "HardWare", "CardType", "501"},
    {"EdtOpType", 97, 96, "卡操作选项：", "HardWare", "OpType", "1"},
    {"EdtBoud", 312, 60, "波特率：", "HardWare", "baud", "9600"},
    {"EdtLocalip", 97, 152, "本机ip地址：", "SYSTEM", "LocalIP", ""},
    {"EdtNativeip", 312, 152, "前置机ip地址：", "SYSTEM", "NativeAddress", ""},
    {"EdtNativeServer", 97, 183, "前置机服务名：", "SYSTEM", "NativeServer", ""},
    {"EdtAreaId", 312, 183, "地区编号：", "SYSTEM", "AREAID", ""},
};

}  // namespace

const SettingsField* SettingsFields() { return kFields; }

}  // namespace corvane
