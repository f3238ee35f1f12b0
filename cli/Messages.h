// Every message of lumo-cli's own, in English and in Chinese. The window program speaks to an
// operator at the buttons; these speak to someone at a shell, so they have their own wording.
// Codes, column names and JSON keys on the output stream are the same in both languages.
#pragma once

#include "cli/Console.h"

namespace lumo::cli::msg {

// Arguments and programs.
inline constexpr Message kUnknownOption{"unknown option %1", "未知选项 %1"};
inline constexpr Message kOptionProblem{"%1", "选项有误：%1"};
inline constexpr Message kUnknownCommand{"unknown command \"%1\"", "未知命令“%1”"};
inline constexpr Message kNoCommand{"a command is needed", "缺少命令"};
inline constexpr Message kNotInstalled{"%1 is not installed beside lumo-cli",
                                       "lumo-cli 旁边没有安装 %1"};
inline constexpr Message kCannotRun{"cannot run %1: %2", "无法运行 %1：%2"};
inline constexpr Message kDoesNotExist{"%1 does not exist", "%1 不存在"};
inline constexpr Message kNotAFolder{"%1 is not a folder", "%1 不是文件夹"};

// Photos.
inline constexpr Message kNoFile{"no file given", "没有指定文件"};
inline constexpr Message kNoFileOrFolder{"no file or folder given", "没有指定文件或文件夹"};
inline constexpr Message kNotAPicture{"%1 is not a picture that can be read: %2",
                                      "文件 %1 不是可以读取的图片：%2"};
inline constexpr Message kTooWideToResample{
    "%1: more than 32767 pixels wide or high, too large to resample",
    "%1：宽或高超过 32767 像素，无法重采样"};
inline constexpr Message kNotEnoughMemory{"%1: not enough memory", "%1：内存不足"};
inline constexpr Message kTargetTooLarge{"%1 x %2 px is more than %3 pixels",
                                         "%1 x %2 像素超过 %3 像素"};
inline constexpr Message kTargetNoMemory{"not enough memory for %1 x %2 px",
                                         "内存不足，无法生成 %1 x %2 像素的图片"};
inline constexpr Message kCannotWrite{"cannot write", "无法写入"};
inline constexpr Message kNoJpgFiles{"%1: no .jpg files", "%1：没有 .jpg 文件"};
inline constexpr Message kNothingChecked{"no photo was checked", "没有检查任何照片"};
inline constexpr Message kChecksCannotRun{"the photo checks cannot run: %1",
                                          "照片检查无法进行：%1"};
inline constexpr Message kBadSize{"bad size %1 (WxH, 1 to 32767 each)",
                                  "尺寸 %1 有误（宽x高，各为 1 到 32767）"};
inline constexpr Message kInAndOut{"IN and OUT are needed", "需要 IN 和 OUT"};
inline constexpr Message kOutSuffix{"OUT must end in .bmp or .png", "OUT 必须以 .bmp 或 .png 结尾"};

// Class lists.
inline constexpr Message kWorkbookUnreadable{
    "cannot read the class list of %1: %2\n"
    "lumo-cli reads .xls, .xlsx and .csv workbooks whose class list is the sheet \"sheet1\", its\n"
    "first row the header of Lumo's template.",
    "无法读取 %1 中的班级名单：%2\n"
    "lumo-cli 读取 .xls、.xlsx 和 .csv 工作簿；班级名单须在工作表“sheet1”中，第一行为 Lumo "
    "模板的表头。"};
inline constexpr Message kRosterArguments{"a WORKBOOK is needed (mark: and student numbers)",
                                          "需要工作簿（mark 还需要学号）"};
inline constexpr Message kRosterSummary{"students: %1, without an ID-card number: %2",
                                        "学生 %1 名，其中没有身份证号的 %2 名"};
inline constexpr Message kNoStudentNumber{"the class has no student number %1",
                                          "班级中没有学号 %1"};
inline constexpr Message kMarksWritten{"%1 photo marks written", "已写入 %1 个拍照标记"};
inline constexpr Message kNothingWritten{"nothing written: %1", "没有写入：%1"};

// The class archive.
inline constexpr Message kPackArguments{"FOLDER and NAME are needed", "需要 FOLDER 和 NAME"};
inline constexpr Message kArchiveName{
    "NAME must be a plain file name: not empty, without \"/\", \"\\\", \"..\" or control "
    "characters",
    "NAME 必须是普通文件名：不能为空，不能包含“/”“\\”“..”或控制字符"};
inline constexpr Message kNoPhotosToPack{"%1 holds no .jpg photos: nothing packed",
                                         "%1 中没有 .jpg 照片，没有打包"};
inline constexpr Message kPackFailed{"nothing packed, every photo is still in %1: %2",
                                     "没有打包，照片都还在 %1 中：%2"};
inline constexpr Message kPhotoChangedWhilePacked{
    "%1 changed while it was packed: it stays in the folder, pack again to put this version in "
    "the archive",
    "%1 在打包时被改写：它留在文件夹中，请再打包一次，把这个版本放进压缩包"};
inline constexpr Message kPhotoNotRemoved{"%1 is in the archive but could not be removed",
                                          "%1 已在压缩包中，但无法从文件夹中删除"};
inline constexpr Message kArchiveTooLarge{
    "%1 is larger than 5000000 bytes, the registry's limit: unpack it and pack its photos in two "
    "or more archives",
    "%1 超过学籍系统的上限 5000000 字节：请解压后分成几个压缩包重新打包"};

// The class report.
inline constexpr Message kReportArguments{
    "a workbook, a photo folder and the PDF's path are needed",
    "需要工作簿、照片文件夹和 PDF 的路径"};
inline constexpr Message kRegistryCode{
    "--school-code needs 10 digits and --class-number 1 to 10 letters or digits, both together",
    "--school-code 须为 10 位数字，--class-number 须为 1 到 10 个字母或数字，两者须同时给出"};

} // namespace lumo::cli::msg
