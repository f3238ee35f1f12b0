// The usage of each lumo-cli command, as --help prints it, in English and in Chinese.
#pragma once

#include "cli/Console.h"

namespace lumo::cli::usage {

inline constexpr Message kCli{
    R"(usage: lumo-cli COMMAND [ARGUMENTS...]
       lumo-cli --help | --version

commands:
  photo      convert, check and resample registry photos
  roster     show or check a workbook's class list, or write photo marks into it
  pack       move a folder's photos into a checked class archive
  report     the class's contact sheet for the teacher to sign (PDF, CSV)

"lumo-cli COMMAND --help" describes a command. "--" ends the options: the arguments after it
are file names, also when they start with "-". Data goes to the output stream; counts, notes
and errors go to the error stream.

Exit status, the same for every command:
  0  success
  1  the command's negative result: a photo that does not fit or could not be converted,
     ID-card numbers to fix, nothing packed, a report not written
  2  usage error: wrong options or arguments, or an input that cannot be used (a path that
     does not exist, a workbook that cannot be read); nothing was done
  3  packed, but the archive is larger than 5000000 bytes

Messages are in Chinese when LC_ALL, LC_MESSAGES or LANG, the first one set, starts with
"zh", and in English otherwise.
)",
    R"(用法：lumo-cli 命令 [参数...]
      lumo-cli --help | --version

命令：
  photo      转换、检查、重采样学籍照片
  roster     显示或核对工作簿中的班级名单，或写入拍照标记
  pack       把文件夹中的照片移入经过核对的班级压缩包
  report     供老师核对签字的班级报告（PDF、CSV）

“lumo-cli 命令 --help”说明一个命令。“--”结束选项：其后的参数都是文件名，以“-”开头的也是。
数据写到标准输出；人数、说明和错误写到标准错误。

退出状态，所有命令相同：
  0  成功
  1  命令的否定结果：照片不合格或无法转换、有需要更正的身份证号、没有打包、报告没有写成
  2  用法错误：选项或参数有误，或输入无法使用（路径不存在、工作簿无法读取）；什么也没有做
  3  已打包，但压缩包超过 5000000 字节

LC_ALL、LC_MESSAGES 或 LANG 中最先设置的一个以“zh”开头时，提示为中文，否则为英文。
)"};

inline constexpr Message kPhoto{
    R"(usage: lumo-cli photo convert [--no-dpi] [--no-compress] [--best] [--] FILE...
       lumo-cli photo check [--framing] [--json] [--] FILE|FOLDER...
       lumo-cli photo resample [--size WxH] [--] IN OUT

  convert   the DPI step (260 x 320 px, 254 dpi JPEG) then the size step (at most
            60000 bytes, five passes at most) on each file, in place
  check     format, pixel size, dpi and bytes of each photo (a folder: its .jpg files);
            --framing: face, framing, sharpness, exposure, background
  resample  the 260 x 320 resampler alone, written losslessly (.bmp or .png)

"lumo-cli photo COMMAND --help" describes a command.
)",
    R"(用法：lumo-cli photo convert [--no-dpi] [--no-compress] [--best] [--] 文件...
      lumo-cli photo check [--framing] [--json] [--] 文件|文件夹...
      lumo-cli photo resample [--size 宽x高] [--] IN OUT

  convert   对每个文件就地执行 DPI 步骤（260 x 320 像素、254 dpi 的 JPEG）和压缩步骤
            （不超过 60000 字节，最多五次）
  check     每张照片的格式、像素尺寸、dpi 和字节数（文件夹：其中的 .jpg 文件）；
            --framing：人脸、构图、清晰度、曝光、背景
  resample  只做 260 x 320 重采样，无损写出（.bmp 或 .png）

“lumo-cli photo 命令 --help”说明一个命令。
)"};

inline constexpr Message kConvert{
    R"(usage: lumo-cli photo convert [--no-dpi] [--no-compress] [--best] [--] FILE...

Turns each photo file, in place, into a registry photo as a save does after its first
write: the DPI step resamples it to 260 x 320 pixels and writes it as a JPEG at 254 dpi;
the size step re-encodes a file of 55000 bytes or more at quality 80 until it is at most
60000 bytes, five times at most. Every write replaces the file atomically. Prints a line per
converted file: its path, format, pixel size, dpi and bytes.

  --no-dpi       leave out the DPI step
  --no-compress  leave out the size step
  --best         the DPI step writes the highest JPEG quality whose file is at most 60000
                 bytes, instead of quality 100 and the size step

Exit status: 0 when every file was converted, 1 when any could not be (not a picture, not
writable), 2 for wrong arguments or a file that does not exist (then none is converted).
)",
    R"(用法：lumo-cli photo convert [--no-dpi] [--no-compress] [--best] [--] 文件...

把每个照片文件就地转换为学籍照片，与保存照片时第一次写入之后的处理相同：DPI 步骤把它重采样为
260 x 320 像素，写成 254 dpi 的 JPEG；压缩步骤把 55000 字节及以上的文件以质量 80 重新编码，
直到不超过 60000 字节，最多五次。每次写入都以原子方式替换文件。每转换一个文件输出一行：路径、
格式、像素尺寸、dpi 和字节数。

  --no-dpi       不做 DPI 步骤
  --no-compress  不做压缩步骤
  --best         DPI 步骤写出文件不超过 60000 字节的最高 JPEG 质量，代替质量 100 和压缩步骤

退出状态：0 全部转换成功；1 有文件无法转换（不是图片、无法写入）；2 参数有误或文件不存在
（此时一个也不转换）。
)"};

inline constexpr Message kCheck{
    R"(usage: lumo-cli photo check [--framing] [--json] [--] FILE|FOLDER...

Prints a line per photo: its path, its format (by content), pixel size, dpi and length in
bytes, and "ok" or what keeps it out of the registry; a folder stands for its .jpg and .jpeg
files. A photo fits the registry when it is a JPEG of 260 x 320 pixels at 254 dpi and at
most 60000 bytes.

  --json     a JSON array instead, one object per photo: path, readable, format, width,
             height, dpiX, dpiY, bytes, fits, problems (format, pixel-size, dpi, bytes,
             unreadable) and, for a photo that cannot be read, error
  --framing  checks instead what the registry rejects in the picture: one frontal face, the
             head's size and place, level eyes, sharpness, exposure and a plain light
             background (see --framing --help)

Exit status: 0 when every photo fits, 1 when any does not or cannot be read, or when no
photo was checked, 2 for wrong arguments or a path that does not exist.
)",
    R"(用法：lumo-cli photo check [--framing] [--json] [--] 文件|文件夹...

每张照片输出一行：路径、格式（按内容判断）、像素尺寸、dpi、字节数，以及“ok”或不符合学籍要求
之处；文件夹代表其中的 .jpg 和 .jpeg 文件。符合学籍要求的照片是 260 x 320 像素、254 dpi、
不超过 60000 字节的 JPEG。

  --json     改为输出 JSON 数组，每张照片一个对象：path、readable、format、width、height、
             dpiX、dpiY、bytes、fits、problems（format、pixel-size、dpi、bytes、
             unreadable），无法读取的照片另有 error
  --framing  改为检查学籍系统会拒收的画面问题：一张正面人脸、头部大小和位置、双眼水平、
             清晰度、曝光、单一浅色背景（见 --framing --help）

退出状态：0 全部合格；1 有照片不合格或无法读取，或没有检查任何照片；2 参数有误或路径不存在。
)"};

inline constexpr Message kFraming{
    R"(usage: lumo-cli photo check --framing [--json] [--] FILE|FOLDER...

Checks what the registry rejects in each photo (a folder: its .jpg and .jpeg files) and
prints one line per photo: its path, a tab, and "ok" or what is wrong, comma-separated:
no-face, faces:N (not exactly one frontal face), head-small, head-large, off-centre,
tilted, blurred, dark, bright, background (not plain and light), unreadable.

  --json  a JSON array instead, one object per photo: path, ok, codes, and what they were
          judged by: face (x, y, width, height; null unless there is exactly one face),
          head (x, y, width, height), tiltDegrees (null without both eyes), sharpness,
          faceLuminance, backgroundLuminance; for a photo that cannot be read, error

Exit status: 0 when every photo is ok, 1 when any is not, when no photo was checked or the
checks cannot run, 2 for wrong arguments or a path that does not exist.
)",
    R"(用法：lumo-cli photo check --framing [--json] [--] 文件|文件夹...

检查每张照片（文件夹：其中的 .jpg 和 .jpeg 文件）中学籍系统会拒收的问题，每张照片输出一行：
路径、制表符，以及“ok”或以逗号分隔的问题代码：no-face、faces:N（不是恰好一张正面人脸）、
head-small、head-large、off-centre、tilted、blurred、dark、bright、background（背景不是单一
浅色）、unreadable。

  --json  改为输出 JSON 数组，每张照片一个对象：path、ok、codes，以及判断的依据：face（x、y、
          width、height；只有恰好一张人脸时才有，否则为 null）、head（x、y、width、height）、
          tiltDegrees（没有找到双眼时为 null）、sharpness、faceLuminance、
          backgroundLuminance；无法读取的照片另有 error

退出状态：0 全部合格；1 有照片不合格、没有检查任何照片或检查无法进行；2 参数有误或路径不存在。
)"};

inline constexpr Message kResample{
    R"(usage: lumo-cli photo resample [--size WxH] [--] IN OUT

Resamples the picture IN with the bilinear resampler of the DPI step to 260 x 320 pixels
(or WxH) and writes it without loss to OUT, a bitmap for .bmp or a PNG for .png.

Exit status: 0 on success, 1 when IN is not a picture that can be resampled or OUT cannot be
written, 2 for wrong arguments or an IN that does not exist.
)",
    R"(用法：lumo-cli photo resample [--size 宽x高] [--] IN OUT

用 DPI 步骤的双线性重采样把图片 IN 重采样为 260 x 320 像素（或 宽x高），无损写入 OUT：
.bmp 写位图，.png 写 PNG。

退出状态：0 成功；1 IN 不是可以重采样的图片或 OUT 无法写入；2 参数有误或 IN 不存在。
)"};

inline constexpr Message kRoster{
    R"(usage: lumo-cli roster show [--header] [--json] [--] WORKBOOK
       lumo-cli roster check [--json] [--] WORKBOOK
       lumo-cli roster mark [--] WORKBOOK NUMBER...

show   one tab-separated line per student: number, name, ID-card number, photo mark, class;
       the count of students on the error stream.
       --header  first a line with the column names: number, name, idNumber, photoMark, class
       --json    a JSON array instead, one object per student: number, name, idNumber,
                 photoMark, class, withoutId
check  the pre-flight of the ID-card numbers, one tab-separated line per finding: student
       number, name, ID-card number, code (checksum, birth-date, format, duplicate,
       missing-id, spaces, not-resident-id). not-resident-id (another document) is
       information: it needs no fixing.
       --json    a JSON array instead, one object per finding: number, name, idNumber, code,
                 needsFixing
mark   writes the photo mark "是" into column C of those students' rows.

Workbooks: .xls (Excel 97 and later), .xlsx, .csv (UTF-8 or GBK); the class list is the
sheet "sheet1", its first row the header of Lumo's template.

Exit status: 0 on success (check: no number to fix), 1 when check finds numbers to fix or
mark cannot write the workbook, 2 for wrong arguments, a workbook that cannot be read or a
student number that the class does not have.
)",
    R"(用法：lumo-cli roster show [--header] [--json] [--] 工作簿
      lumo-cli roster check [--json] [--] 工作簿
      lumo-cli roster mark [--] 工作簿 学号...

show   每名学生一行，以制表符分隔：学号、姓名、身份证号、拍照标记、班级；学生人数写到标准错误。
       --header  先输出一行列名：number、name、idNumber、photoMark、class
       --json    改为输出 JSON 数组，每名学生一个对象：number、name、idNumber、photoMark、
                 class、withoutId
check  核对身份证号，每个问题一行，以制表符分隔：学号、姓名、身份证号、代码（checksum、
       birth-date、format、duplicate、missing-id、spaces、not-resident-id）。
       not-resident-id（其他证件）只是提示，不需要更正。
       --json    改为输出 JSON 数组，每个问题一个对象：number、name、idNumber、code、
                 needsFixing
mark   在这些学生所在行的 C 列写入拍照标记“是”。

工作簿：.xls（Excel 97 及以后）、.xlsx、.csv（UTF-8 或 GBK）；班级名单在工作表“sheet1”中，
第一行为 Lumo 模板的表头。

退出状态：0 成功（check：没有需要更正的身份证号）；1 check 发现需要更正的身份证号，或 mark
无法写入工作簿；2 参数有误、工作簿无法读取或班级中没有该学号。
)"};

inline constexpr Message kPack{
    R"(usage: lumo-cli pack [--] FOLDER NAME

Moves every .jpg of FOLDER (any letter case) into the archive FOLDER/NAME.zip, stored
without folder paths, as Lumo's archive step does. An existing NAME.zip is added to and an
entry of the same name replaced. No photo is removed before the archive was written under
a temporary name, read back and checked, and renamed into place.

Prints the archive's path, its size and the number of photos packed.

Exit status: 0 when packed, 3 when packed but larger than 5000000 bytes (the registry's
limit), 1 when nothing was packed (no photos, or a failure: then every photo is still in the
folder), 2 for wrong arguments, a NAME that is no plain file name or a FOLDER that does not
exist.
)",
    R"(用法：lumo-cli pack [--] 文件夹 NAME

把文件夹中所有 .jpg（不分大小写）移入压缩包 文件夹/NAME.zip，不带文件夹路径，与 Lumo 的打包
步骤相同。已有的 NAME.zip 会被添加，同名条目会被替换。压缩包先以临时文件名写出、读回核对、
改名到位之后，才删除照片。

输出压缩包的路径、大小和打包的照片数。

退出状态：0 已打包；3 已打包但超过 5000000 字节（学籍系统的上限）；1 没有打包（没有照片，或
失败：此时照片都还在文件夹中）；2 参数有误、NAME 不是普通文件名或文件夹不存在。
)"};

inline constexpr Message kReport{
    R"(usage: lumo-cli report [--csv OUT.csv] [--school-code CODE --class-number NUMBER]
                       [--] WORKBOOK PHOTO_FOLDER OUT.pdf

Writes the class report the teacher checks and signs: an A4 contact sheet of every student
of the workbook's class list in roster order, each photo found in PHOTO_FOLDER as Lumo saves
it and printed at its true size (26 x 32 mm), an empty box where a photo is missing, the
ID-card numbers masked in the middle, and a line for the signature. --csv also writes it as
a table (UTF-8 with BOM): number, name, masked ID-card number, photographed, finding,
photo file.
With the school's 10-digit registry code and the class number, students without an
ID-card number are found under the registry's name in PHOTO_FOLDER/无身份证学生.

Exit status: 0 when written, 1 when a report cannot be written, 2 for wrong arguments, a
workbook that cannot be read or a PHOTO_FOLDER that is not a folder.
)",
    R"(用法：lumo-cli report [--csv OUT.csv] [--school-code 学校代码 --class-number 班号]
                      [--] 工作簿 照片文件夹 OUT.pdf

写出供老师核对签字的班级报告：A4 联系表，按名单顺序列出工作簿班级名单中的每名学生，照片按
Lumo 保存的方式在照片文件夹中查找，按实际尺寸（26 x 32 毫米）打印，没有照片处为空框，身份证号
中间部分隐去，并有签字线。--csv 另外写出表格（带 BOM 的 UTF-8）：学号、姓名、隐去部分的身份
证号、是否已拍、问题、照片文件。
给出学校的 10 位学籍代码和班号时，没有身份证号的学生按学籍系统的文件名在
照片文件夹/无身份证学生 中查找。

退出状态：0 已写出；1 报告无法写出；2 参数有误、工作簿无法读取或照片文件夹不是文件夹。
)"};

} // namespace lumo::cli::usage
