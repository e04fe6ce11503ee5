<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CommSession</name>
    <message>
        <source>串口连接已断开：%1</source>
        <translation>Serial port connection lost: %1</translation>
    </message>
    <message>
        <source>Modbus TCP/IP 连接已断开（%1）</source>
        <translation>Modbus TCP/IP connection lost (%1)</translation>
    </message>
    <message>
        <source>Modbus TCP/IP 设备 %1 端口 %2 已连接！</source>
        <translation>Modbus TCP/IP device %1 port %2 connected!</translation>
    </message>
</context>
<context>
    <name>vantor::LinkChannel</name>
    <message>
        <source>串口未打开，命令未发送：%1</source>
        <translation>Serial port not open, command not sent: %1</translation>
    </message>
    <message>
        <source>串口写入失败，命令未发送：%1</source>
        <translation>Serial port write failed, command not sent: %1</translation>
    </message>
    <message>
        <source>Modbus TCP/IP 未连接，命令未发送：%1</source>
        <translation>Modbus TCP/IP not connected, command not sent: %1</translation>
    </message>
    <message>
        <source>Modbus TCP/IP 发送失败，命令未发送：%1</source>
        <translation>Modbus TCP/IP send failed, command not sent: %1</translation>
    </message>
    <message>
        <source>命令文本无效，Modbus TCP 命令未发送：%1</source>
        <translation>Invalid command text, Modbus TCP command not sent: %1</translation>
    </message>
</context>
<context>
    <name>vantor::LogFormat</name>
    <message>
        <source>数据包 %1 无应答</source>
        <translation>Packet %1 no reply</translation>
    </message>
    <message>
        <source>数据包 %1 应答不完整：%2 字节，已丢弃</source>
        <translation>Packet %1 incomplete reply: %2 bytes, discarded</translation>
    </message>
    <message>
        <source>数据包 %1 应答不完整：%2 字节（应为 %3 字节），已丢弃</source>
        <translation>Packet %1 incomplete reply: %2 bytes (expected %3 bytes), discarded</translation>
    </message>
    <message>
        <source>数据包 %1 应答后多余 %2 字节，已丢弃</source>
        <translation>Packet %1: %2 extra bytes after the reply, discarded</translation>
    </message>
    <message>
        <source>数据包 %1 迟到应答，已丢弃</source>
        <translation>Packet %1 late reply, discarded</translation>
    </message>
    <message>
        <source>应答事务标识 0x%1 无对应请求，已丢弃</source>
        <translation>Reply transaction ID 0x%1 matches no request, discarded</translation>
    </message>
    <message>
        <source>写入命令无应答</source>
        <translation>Write command: no reply</translation>
    </message>
    <message>
        <source>写入命令迟到应答，已丢弃</source>
        <translation>Write command late reply, discarded</translation>
    </message>
    <message>
        <source>数据包 %1 异常应答：功能码 0x%2，异常码 0x%3 %4</source>
        <translation>Packet %1 exception reply: function code 0x%2, exception code 0x%3 %4</translation>
    </message>
    <message>
        <source>写入异常应答：功能码 0x%1，异常码 0x%2 %3</source>
        <translation>Write exception reply: function code 0x%1, exception code 0x%2 %3</translation>
    </message>
    <message>
        <source>数据包 %1 应答不匹配：%2</source>
        <translation>Packet %1 reply mismatch: %2</translation>
    </message>
    <message>
        <source>数据包配置成功。</source>
        <translation>Packets configured.</translation>
    </message>
</context>
<context>
    <name>vantor::PacketStats</name>
    <message>
        <source>请求</source>
        <translation>Requests</translation>
    </message>
    <message>
        <source>有效应答</source>
        <translation>Valid</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>No reply</translation>
    </message>
    <message>
        <source>CRC错误</source>
        <translation>CRC errors</translation>
    </message>
    <message>
        <source>异常应答</source>
        <translation>Exceptions</translation>
    </message>
    <message>
        <source>末次异常码</source>
        <translation>Last exc.</translation>
    </message>
    <message>
        <source>响应(ms)</source>
        <translation>Resp.(ms)</translation>
    </message>
    <message>
        <source>最小(ms)</source>
        <translation>Min(ms)</translation>
    </message>
    <message>
        <source>平均(ms)</source>
        <translation>Avg(ms)</translation>
    </message>
    <message>
        <source>最大(ms)</source>
        <translation>Max(ms)</translation>
    </message>
</context>
<context>
    <name>vantor::ReplyRules</name>
    <message>
        <source>非法功能</source>
        <translation>illegal function</translation>
    </message>
    <message>
        <source>非法数据地址</source>
        <translation>illegal data address</translation>
    </message>
    <message>
        <source>非法数据值</source>
        <translation>illegal data value</translation>
    </message>
    <message>
        <source>从站设备故障</source>
        <translation>slave device failure</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>acknowledge</translation>
    </message>
    <message>
        <source>从站设备忙</source>
        <translation>slave device busy</translation>
    </message>
    <message>
        <source>存储奇偶性差错</source>
        <translation>memory parity error</translation>
    </message>
    <message>
        <source>不可用网关路径</source>
        <translation>gateway path unavailable</translation>
    </message>
    <message>
        <source>网关目标设备响应失败</source>
        <translation>gateway target device failed to respond</translation>
    </message>
    <message>
        <source>未知异常</source>
        <translation>unknown exception</translation>
    </message>
    <message>
        <source>从站地址 %1 ≠ %2</source>
        <translation>slave ID %1 ≠ %2</translation>
    </message>
    <message>
        <source>功能码 %1 ≠ %2</source>
        <translation>function code %1 ≠ %2</translation>
    </message>
    <message>
        <source>字节数 %1 ≠ %2</source>
        <translation>byte count %1 ≠ %2</translation>
    </message>
    <message>
        <source>事务标识 %1 ≠ %2</source>
        <translation>transaction ID %1 ≠ %2</translation>
    </message>
    <message>
        <source>单元标识 %1 ≠ %2</source>
        <translation>unit ID %1 ≠ %2</translation>
    </message>
    <message>
        <source>字节数 %1 与报文长度 %2 不符</source>
        <translation>byte count %1 does not match the frame length %2</translation>
    </message>
    <message>
        <source>数据 %1 字节，少于所请求的 %2 字节</source>
        <translation>%1 data bytes, fewer than the %2 bytes requested</translation>
    </message>
</context>
</TS>
