<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CMonitorConfigDlg</name>
    <message>
        <source>监控对象配置</source>
        <translation>Monitoring Object</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>变更值：</source>
        <translation>New value:</translation>
    </message>
    <message>
        <source>倍    率：</source>
        <translation>Rate:</translation>
    </message>
    <message>
        <source>单    位：</source>
        <translation>Unit:</translation>
    </message>
</context>
<context>
    <name>vantor::CVCKBASEDlg</name>
    <message>
        <source>提示：双击并长按点位，拖到控件上形成监控对象</source>
        <translation>Tip: double-click and hold a point, then drag it onto a control to make a monitoring object</translation>
    </message>
    <message>
        <source>单击改名</source>
        <translation>Click to rename</translation>
    </message>
    <message>
        <source>模拟量</source>
        <translation>Analogue</translation>
    </message>
    <message>
        <source>开关</source>
        <translation>Switch</translation>
    </message>
    <message>
        <source>指示灯</source>
        <translation>Lamp</translation>
    </message>
    <message>
        <source>%1 %2：%3</source>
        <translation>%1 %2: %3</translation>
    </message>
    <message>
        <source>监控对象“%1”指向的单元格不存在，未发送</source>
        <translation>Monitoring object “%1” points to a cell that does not exist; not sent</translation>
    </message>
    <message>
        <source>监控对象“%1”：%2</source>
        <translation>Monitoring object “%1”: %2</translation>
    </message>
    <message>
        <source>数值 %1 超出范围</source>
        <translation>Value %1 is out of range</translation>
    </message>
</context>
<context>
    <name>vantor::MonitorConfigDlg</name>
    <message>
        <source>变更值必须是数字</source>
        <translation>The new value must be a number</translation>
    </message>
    <message>
        <source>倍率必须是不为 0 的数字</source>
        <translation>The rate must be a number other than 0</translation>
    </message>
</context>
</TS>
