// Resource and command identifiers (shared by the resource script and the program).
#pragma once

#define IDI_APP 1
#define IDR_POPUPS 100
#define IDR_DEFAULT_PICTURE 200
#define IDD_FORMOPTION 300

// Popup positions inside IDR_POPUPS
#define POPUP_TRAY 0
#define POPUP_FLIEL 1
#define POPUP_LV 2
#define POPUP_LOG 3

// Tray menu (menu托盘)
#define ID_menu桌面 1001
#define ID_menuWindows目录 1002
#define ID_menu系统目录 1003
#define ID_menu我的文档 1004
#define ID_menu浏览器缓存 1005
#define ID_menu系统缓存 1006
#define ID_menu隐藏桌面图标 1010
#define ID_menu显示桌面图标 1011
#define ID_menu自动更换壁纸 1020
#define ID_menu设置 1021
#define ID_menu下一张墙纸 1022
#define ID_menu上一张墙纸 1023
#define ID_menu显示界面 1030
#define ID_menu关于 1031
#define ID_menu退出 1032
// "当前墙纸": a line until the menu opens, then each picture on show with its own items.
#define ID_menu当前墙纸 2000
#define ID_menu当前墙纸Last 2099

// Picture list menu (FlieL)
#define ID_FlieL刷新 1101
#define ID_menu删除文件jpg 1102
#define ID_menu循环看图 1103
#define ID_menu停止 1104
#define ID_FlieL所有显示器 1110
// The list menu's monitors follow "所有显示器", one id each.
#define ID_FlieL显示器 1111
#define ID_FlieL显示器Last 1126
// "查看": how the list shows its pictures.
#define ID_FlieL缩略图 1127
#define ID_FlieL列表 1128
#define ID_mmmm设置 1105
#define ID_FlieL收藏 1130
#define ID_FlieL不再显示 1131
#define ID_FlieL每日图片 1106

// Folder list menu (LV)
#define ID_LV刷新 1201
#define ID_menu打开文件 1202
#define ID_menu打开文件夹 1203
#define ID_menu用资源管理器打开 1204
#define ID_menu复制到 1205
#define ID_menu移动到 1206
#define ID_menu删除 1207
#define ID_menu删除到回收站 1208
#define ID_隐藏桌面图标dfdsfds 1209
#define ID_dfdsds显示桌面图标 1210

// Change log menu (RichTextBox1)
#define ID_menu复制 1301
#define ID_menu全选 1302
#define ID_menu保存日志 1303
#define ID_menu清空日志 1304

// Options dialog (FormOption, IDD_FORMOPTION)
#define IDC_OPT_Label1 310
#define IDC_OPT_Text1 311
#define IDC_OPT_Label2 312
#define IDC_OPT_Label4 313
#define IDC_OPT_Text2 314
#define IDC_OPT_Label3 315
#define IDC_OPT_Check1 316
#define IDC_OPT_Check2 317
#define IDC_OPT_Check3 318
#define IDC_OPT_Command1 319
#define IDC_OPT_Label5 320
#define IDC_OPT_Combo1 321
#define IDC_OPT_Label6 322
#define IDC_OPT_Combo2 323
#define IDC_OPT_Frame1 324
#define IDC_OPT_Check4 325
#define IDC_OPT_Check5 326
#define IDC_OPT_Label7 327
#define IDC_OPT_Check6 328
#define IDC_OPT_Check7 329
#define IDC_OPT_Check8 330
#define IDC_OPT_Label8 331
#define IDC_OPT_Hotkey1 332
#define IDC_OPT_Label9 333
#define IDC_OPT_Hotkey2 334
#define IDC_OPT_Check9 335
#define IDC_OPT_Frame2 336
#define IDC_OPT_Label10 337
#define IDC_OPT_Combo3 338
#define IDC_OPT_Label11 339
#define IDC_OPT_Combo4 340
#define IDC_OPT_Label12 341
#define IDC_OPT_Text3 342
#define IDC_OPT_Label13 343
#define IDC_OPT_Text4 344
#define IDC_OPT_Label14 345
#define IDC_OPT_Check10 346
#define IDC_OPT_Frame3 347
#define IDC_OPT_Check11 348
#define IDC_OPT_Check12 349
#define IDC_OPT_Label15 350
#define IDC_OPT_Text5 351
#define IDC_OPT_Label16 352
