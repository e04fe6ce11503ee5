<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CCustomSendDlg</name>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>自定义发送数据包（不需+CRC校验）</source>
        <translation>Custom frame in hex (no CRC needed)</translation>
    </message>
</context>
<context>
    <name>vantor::CWriteRegDlg</name>
    <message>
        <source>06号命令写入单个Input寄存器</source>
        <translation>Write Single Register (FC06)</translation>
    </message>
    <message>
        <source>十进制:</source>
        <translation>Decimal:</translation>
    </message>
    <message>
        <source>二进制:</source>
        <translation>Binary:</translation>
    </message>
    <message>
        <source>16进制:</source>
        <translation>Hex:</translation>
    </message>
    <message>
        <source>无符号:</source>
        <translation>Unsigned:</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vantor::ParameterFile</name>
    <message>
        <source>打开文件出错！</source>
        <translation>Cannot open the file!</translation>
    </message>
    <message>
        <source>参数文件 %1 保存失败，原文件未改动：%2</source>
        <translation>The parameter file %1 was not saved, the old file is unchanged: %2</translation>
    </message>
    <message>
        <source>%1 个单元格的文本超过 %2 字节，已截断保存。</source>
        <translation>The text of %1 cells was longer than %2 bytes and was saved cut short.</translation>
    </message>
    <message>
        <source>%1 个单元格的格式代码无效，这些单元格保留原格式。</source>
        <translation>%1 cells had an invalid format code; they keep their format.</translation>
    </message>
</context>
<context>
    <name>vantor::WriteCommands</name>
    <message>
        <source>数据包 %1 读取只读数据（功能码 %2），不能写入</source>
        <translation>Packet %1 reads read-only data (function code %2): it cannot be written</translation>
    </message>
    <message>
        <source>十进制数值 “%1” 超出 16 位范围 -32768..65535</source>
        <translation>The decimal value “%1” is outside the 16-bit range -32768..65535</translation>
    </message>
    <message>
        <source>无符号数值 “%1” 超出范围 0..65535</source>
        <translation>The unsigned value “%1” is outside the range 0..65535</translation>
    </message>
    <message>
        <source>不是有效的浮点数：“%1”</source>
        <translation>Not a valid float: “%1”</translation>
    </message>
    <message>
        <source>不是有效的 32 位整数（-2147483648..2147483647）：“%1”</source>
        <translation>Not a valid 32-bit integer (-2147483648..2147483647): “%1”</translation>
    </message>
    <message>
        <source>该单元格式不能写入（格式代码 %1）</source>
        <translation>A cell of this format cannot be written (format code %1)</translation>
    </message>
    <message>
        <source>发送数据含有非十六进制字符：“%1”（只可输入 0-9、A-F 和空格）</source>
        <translation>The data holds a character that is not hex: “%1” (only 0-9, A-F and blanks)</translation>
    </message>
    <message>
        <source>发送数据为空，请输入十六进制数据</source>
        <translation>Nothing to send: type the data in hex</translation>
    </message>
    <message>
        <source>十六进制数字个数为奇数（%1 个），每个字节需两位数字</source>
        <translation>An odd number of hex digits (%1): each byte needs two digits</translation>
    </message>
    <message>
        <source>发送数据过长：%1 字节，最多 %2 字节（另加 2 字节 CRC）</source>
        <translation>The data is too long: %1 bytes, at most %2 bytes (plus 2 bytes of CRC)</translation>
    </message>
</context>
<context>
    <name>vantor::WriteControls</name>
    <message>
        <source>参数设置表</source>
        <translation>Parameter table</translation>
    </message>
    <message>
        <source>信息文件(*.dll)</source>
        <translation>Parameter files (*.dll)</translation>
    </message>
    <message>
        <source>所有文件(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>写线圈</source>
        <translation>Write Coil</translation>
    </message>
    <message>
        <source>置 1 (FF00)</source>
        <translation>Set 1 (FF00)</translation>
    </message>
    <message>
        <source>置 0 (0000)</source>
        <translation>Set 0 (0000)</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>16号命令发送</source>
        <translation>Send FC16</translation>
    </message>
    <message>
        <source>16号命令编辑</source>
        <translation>Edit FC16</translation>
    </message>
    <message>
        <source>线圈 %1 当前为 %2，写入：</source>
        <translation>Coil %1 is now %2. Write:</translation>
    </message>
</context>
<context>
    <name>vantor::WriteService</name>
    <message>
        <source>单元格不存在</source>
        <translation>No such cell</translation>
    </message>
    <message>
        <source>16号命令编辑中，数值将随整页发送</source>
        <translation>Editing the page for FC16: the value goes out with the whole page</translation>
    </message>
    <message>
        <source>数据包 %1 未勾选，只修改了单元格，未发送</source>
        <translation>Packet %1 is not checked: only the cell changed, nothing was sent</translation>
    </message>
    <message>
        <source>数据包未配置，只修改了单元格，未发送</source>
        <translation>No packets configured: only the cell changed, nothing was sent</translation>
    </message>
    <message>
        <source>数据包不存在</source>
        <translation>No such packet</translation>
    </message>
    <message>
        <source>单元格 %1 不在数据包 %2 配置的 %3 个单元之内，不能写入</source>
        <translation>Cell %1 is not among the %3 cells configured for packet %2: it cannot be written</translation>
    </message>
    <message>
        <source>通信未打开：请先打开串口或连接服务器，线圈未写入</source>
        <translation>Communication is not open: open the serial port or connect to the server first. The coil was not written</translation>
    </message>
    <message>
        <source>数据包未配置，线圈未写入</source>
        <translation>No packets configured: the coil was not written</translation>
    </message>
    <message>
        <source>线圈只能写入 0 或 1，不能写入“%1”</source>
        <translation>A coil takes only 0 or 1, not “%1”</translation>
    </message>
    <message>
        <source>通信未打开：请先打开串口或连接服务器，数值未发送</source>
        <translation>Communication is not open: open the serial port or connect to the server first. The value was not sent</translation>
    </message>
    <message>
        <source>数据包未配置，数值未发送</source>
        <translation>No packets configured: the value was not sent</translation>
    </message>
    <message>
        <source>16号命令编辑中……</source>
        <translation>Editing the page for FC16…</translation>
    </message>
    <message>
        <source>16号命令退出编辑并成功发送...</source>
        <translation>FC16 page edit ended and the page was sent...</translation>
    </message>
    <message>
        <source>没有可写入的参数：请先用“读取参数”载入参数文件</source>
        <translation>No parameters to write: load a parameter file with “Load Params” first</translation>
    </message>
    <message>
        <source>数据包 %1（功能码 %2）</source>
        <translation>packet %1 (function code %2)</translation>
    </message>
    <message>
        <source>以下数据包读取只读数据，未写入：%1</source>
        <translation>These packets read read-only data and were not written: %1</translation>
    </message>
    <message>
        <source>、</source>
        <comment>list separator</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>没有已配置的数据包可写入参数</source>
        <translation>No configured packet to write the parameters to</translation>
    </message>
</context>
</TS>
