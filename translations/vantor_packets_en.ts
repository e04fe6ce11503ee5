<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CCommPanelDlg</name>
    <message>
        <source>发包间隔无效：%1</source>
        <translation>Invalid send interval: %1</translation>
    </message>
    <message>
        <source>定时发送数据包配置：</source>
        <translation>Cyclic packets:</translation>
    </message>
    <message>
        <source>数据包表</source>
        <translation>Packet table</translation>
    </message>
    <message>
        <source>配置数据包</source>
        <translation>Configure</translation>
    </message>
    <message>
        <source>自动发送数据包</source>
        <translation>Start Sending</translation>
    </message>
    <message>
        <source>停止发送数据包</source>
        <translation>Stop Sending</translation>
    </message>
    <message>
        <source>发包间隔（毫秒）；0：应答判定后（或应答超时后）立即发送下一请求</source>
        <translation>Send interval (ms); 0: the next request goes out as soon as the reply is judged (or has timed out)</translation>
    </message>
    <message>
        <source>发包间隔:</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <source>数据格式</source>
        <translation>Data format</translation>
    </message>
    <message>
        <source>用户自定义名称</source>
        <translation>User Names</translation>
    </message>
    <message>
        <source>16号命令编辑</source>
        <translation>Edit FC16</translation>
    </message>
    <message>
        <source>写入参数</source>
        <translation>Write Params</translation>
    </message>
    <message>
        <source>读取参数</source>
        <translation>Load Params</translation>
    </message>
    <message>
        <source>保存参数</source>
        <translation>Save Params</translation>
    </message>
    <message>
        <source>通信记录</source>
        <translation>Communication log</translation>
    </message>
    <message>
        <source>当前工程文件地址：</source>
        <translation>Project file:</translation>
    </message>
    <message>
        <source>请先打开串口</source>
        <translation>Open the serial port first</translation>
    </message>
    <message>
        <source>“%1”现在不能用</source>
        <translation>“%1” is not available now</translation>
    </message>
</context>
<context>
    <name>vantor::CDataGridPanel</name>
    <message>
        <source>点位名称</source>
        <translation>Point name</translation>
    </message>
    <message>
        <source>重命名点位</source>
        <translation>Rename Point</translation>
    </message>
    <message>
        <source>点位名称：</source>
        <translation>Point name:</translation>
    </message>
</context>
<context>
    <name>vantor::CommPanelRules</name>
    <message>
        <source>Modbus TCP/IP 连接已断开</source>
        <translation>Modbus TCP/IP connection lost</translation>
    </message>
    <message>
        <source>串口已断开</source>
        <translation>Serial port lost</translation>
    </message>
    <message>
        <source>Modbus TCP/IP 连接已断开：%1</source>
        <translation>Modbus TCP/IP connection lost: %1</translation>
    </message>
    <message>
        <source>串口已断开：%1</source>
        <translation>Serial port lost: %1</translation>
    </message>
    <message>
        <source>串口已打开：%1</source>
        <translation>Serial port open: %1</translation>
    </message>
    <message>
        <source>Modbus TCP/IP 已连接：%1</source>
        <translation>Modbus TCP/IP connected: %1</translation>
    </message>
    <message>
        <source>串口已关闭</source>
        <translation>Serial port closed</translation>
    </message>
    <message>
        <source>Modbus TCP/IP 连接已关闭</source>
        <translation>Modbus TCP/IP connection closed</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Check All</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Uncheck All</translation>
    </message>
    <message>
        <source>暂停数据滚动</source>
        <translation>Pause Log</translation>
    </message>
    <message>
        <source>继续数据滚动</source>
        <translation>Resume Log</translation>
    </message>
</context>
<context>
    <name>vantor::ConnectionControls</name>
    <message>
        <source>Modbus TCP/IP 连接已关闭：%1:%2</source>
        <translation>Modbus TCP/IP connection closed: %1:%2</translation>
    </message>
    <message>
        <source>连接服务器失败!</source>
        <translation>Cannot connect to the server!</translation>
    </message>
    <message>
        <source>连接已断开</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>请检查服务器地址及端口号!</source>
        <translation>Check the server address and port!</translation>
    </message>
    <message>
        <source>请先建立连接!</source>
        <translation>Connect first!</translation>
    </message>
    <message>
        <source>连接方式：</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <source>串口状态</source>
        <translation>Serial port state</translation>
    </message>
    <message>
        <source>事务标识（高字节）</source>
        <translation>Transaction ID (high byte)</translation>
    </message>
    <message>
        <source>事务标识（低字节）</source>
        <translation>Transaction ID (low byte)</translation>
    </message>
    <message>
        <source>协议标识（高字节）</source>
        <translation>Protocol ID (high byte)</translation>
    </message>
    <message>
        <source>协议标识（低字节）</source>
        <translation>Protocol ID (low byte)</translation>
    </message>
    <message>
        <source>单元标识</source>
        <translation>Unit ID</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close Port</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open Port</translation>
    </message>
    <message>
        <source>请选择串口</source>
        <translation>Choose a serial port</translation>
    </message>
    <message>
        <source>选中的设备被拔除</source>
        <translation>The selected device was unplugged</translation>
    </message>
</context>
<context>
    <name>vantor::CounterDisplay</name>
    <message>
        <source>地址修正</source>
        <translation>Addr. fix</translation>
    </message>
    <message>
        <source>命令修正</source>
        <translation>Cmd. fix</translation>
    </message>
    <message>
        <source>CRC 校验</source>
        <translation>CRC err.</translation>
    </message>
    <message>
        <source>数据错误</source>
        <translation>Data err.</translation>
    </message>
    <message>
        <source>有效时间</source>
        <translation>Valid time</translation>
    </message>
    <message>
        <source>收包数量</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>计数清零</source>
        <translation>Clear Counts</translation>
    </message>
    <message>
        <source>有效个数</source>
        <translation>Valid no.</translation>
    </message>
</context>
<context>
    <name>vantor::GridRules</name>
    <message>
        <source>第%1列</source>
        <translation>Col %1</translation>
    </message>
    <message>
        <source>背景颜色</source>
        <translation>Background Color</translation>
    </message>
    <message>
        <source>字体颜色</source>
        <translation>Text Color</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>单元格设置无效！</source>
        <translation>Invalid cell setting!</translation>
    </message>
</context>
<context>
    <name>vantor::PacketListWidget</name>
    <message>
        <source>数据包号</source>
        <translation>Packet</translation>
    </message>
    <message>
        <source>从机地址</source>
        <translation>Slave ID</translation>
    </message>
    <message>
        <source>功能码</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>数据个数</source>
        <translation>Count</translation>
    </message>
</context>
<context>
    <name>vantor::SerialSettingsForm</name>
    <message>
        <source>串口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>请先关闭串口</source>
        <translation>Close the serial port first</translation>
    </message>
</context>
</TS>
