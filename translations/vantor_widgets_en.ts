<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::MessageBox</name>
    <message>
        <source>是</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vantor::ThemedIcon</name>
    <message>
        <source>图标文件无法读取：%1</source>
        <translation>Cannot read icon file: %1</translation>
    </message>
    <message>
        <source>图标无法绘制：%1（%2）</source>
        <translation>Cannot draw icon: %1 (%2)</translation>
    </message>
</context>
</TS>
