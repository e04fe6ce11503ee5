<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CurveTable</name>
    <message>
        <source>颜色</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>曲线数达到最大限制</source>
        <translation>The maximum number of curves is reached</translation>
    </message>
</context>
<context>
    <name>vantor::PacketTable</name>
    <message>
        <source>0. 按数据包</source>
        <translation>0. Per packet</translation>
    </message>
    <message>
        <source>1.读线圈(0x01)</source>
        <translation>1.Read coils (0x01)</translation>
    </message>
    <message>
        <source>2.读离散量输入(0x02)</source>
        <translation>2.Read discrete inputs (0x02)</translation>
    </message>
    <message>
        <source>3.读保持寄存器(0x03)</source>
        <translation>3.Read holding registers (0x03)</translation>
    </message>
    <message>
        <source>4.读输入寄存器(0x04)</source>
        <translation>4.Read input registers (0x04)</translation>
    </message>
    <message>
        <source>9.读文件记录(0x14)</source>
        <translation>9.Read file record (0x14)</translation>
    </message>
    <message>
        <source>12.读写多个寄存器(0x17)</source>
        <translation>12.Read/write multiple registers (0x17)</translation>
    </message>
    <message>
        <source>13.读设备识别码(0x2B)</source>
        <translation>13.Read device identification (0x2B)</translation>
    </message>
    <message>
        <source>数据包 %1：地址 %2 超出 0～65535</source>
        <translation>Packet %1: address %2 outside 0–65535</translation>
    </message>
    <message>
        <source>数据包 %1：数据个数 %2 超出 0～65535</source>
        <translation>Packet %1: count %2 outside 0–65535</translation>
    </message>
    <message>
        <source>数据包 %1：地址 %2 加数据个数 %3 超出 65536</source>
        <translation>Packet %1: address %2 plus count %3 exceeds 65536</translation>
    </message>
    <message>
        <source>数据包 %1：从机地址 %2 超出 0～255</source>
        <translation>Packet %1: slave ID %2 outside 0–255</translation>
    </message>
    <message>
        <source>数据包 %1：功能码 %2 不能发送</source>
        <translation>Packet %1: function code %2 cannot be sent</translation>
    </message>
    <message>
        <source>数据包 %1：数据个数 %2 的应答超过 %3 字节</source>
        <translation>Packet %1: the reply to count %2 exceeds %3 bytes</translation>
    </message>
    <message>
        <source>命令字错误！</source>
        <translation>Invalid function code!</translation>
    </message>
    <message>
        <source>数据包 %1：数据个数 %2 超过 Modbus TCP 的上限 %3</source>
        <translation>Packet %1: count %2 exceeds the Modbus TCP limit %3</translation>
    </message>
    <message>
        <source>数据包 %1 配置失败，未发送。</source>
        <translation>Packet %1 configuration failed, not sent.</translation>
    </message>
</context>
<context>
    <name>vantor::SerialSelection</name>
    <message>
        <source>STATUS：%1 %2，%3,%4,%5,%6</source>
        <translation>STATUS: %1 %2, %3,%4,%5,%6</translation>
    </message>
    <message>
        <source>OPENED</source>
        <translation>OPENED</translation>
    </message>
    <message>
        <source>CLOSED</source>
        <translation>CLOSED</translation>
    </message>
    <message>
        <source>STATUS：COM Port Closed</source>
        <translation>STATUS: COM Port Closed</translation>
    </message>
</context>
</TS>
