<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::ComPort</name>
    <message>
        <source>波特率</source>
        <translation>baud rate</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>parity</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>data bits</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>stop bits</translation>
    </message>
    <message>
        <source>流控制</source>
        <translation>flow control</translation>
    </message>
    <message>
        <source>请选择串口</source>
        <translation>Please select a serial port</translation>
    </message>
    <message>
        <source>%1：%2（%3）</source>
        <translation>%1: %2 (%3)</translation>
    </message>
    <message>
        <source>串口 %1 不支持该设置：%2 %3</source>
        <translation>Serial port %1 does not support this setting: %2 %3</translation>
    </message>
    <message>
        <source>设备已移除</source>
        <translation>device removed</translation>
    </message>
    <message>
        <source>无法读取，线路已断开</source>
        <translation>cannot read, the line is disconnected</translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation>write failed</translation>
    </message>
    <message>
        <source>串口错误（%1）</source>
        <translation>serial port error (%1)</translation>
    </message>
    <message>
        <source>没有发现此串口或被占用</source>
        <translation>Serial port not found or in use</translation>
    </message>
</context>
<context>
    <name>vantor::ModbusSocket</name>
    <message>
        <source>连接被对方关闭</source>
        <translation>connection closed by the peer</translation>
    </message>
    <message>
        <source>连接被拒绝</source>
        <translation>connection refused</translation>
    </message>
    <message>
        <source>无法连接主机</source>
        <translation>host not reachable</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>connection timed out</translation>
    </message>
    <message>
        <source>网络错误</source>
        <translation>network error</translation>
    </message>
    <message>
        <source>网络连接错误（%1）</source>
        <translation>network connection error (%1)</translation>
    </message>
    <message>
        <source>连接已取消</source>
        <translation>connection cancelled</translation>
    </message>
</context>
</TS>
