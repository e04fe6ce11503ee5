<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::ProfileFile</name>
    <message>
        <source>无法读取文件 %1：%2</source>
        <translation>Cannot read file %1: %2</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>这不是一个普通文件</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>文件超过 %1 MB</source>
        <translation>the file exceeds %1 MB</translation>
    </message>
    <message>
        <source>无法保存文件 %1：%2</source>
        <translation>Cannot save file %1: %2</translation>
    </message>
</context>
<context>
    <name>vantor::ProjectFile</name>
    <message>
        <source>工程文件 %1 不存在</source>
        <translation>Project file %1 does not exist</translation>
    </message>
    <message>
        <source>工程文件 %1 无法打开：文件已损坏或不是文本文件</source>
        <translation>Project file %1 cannot be opened: the file is damaged or not a text file</translation>
    </message>
    <message>
        <source>工程文件 %1 不是工程文件：没有 [%2] 段</source>
        <translation>%1 is not a project file: it has no [%2] section</translation>
    </message>
    <message>
        <source>工程文件 %1 不是工程文件：[%2] 段中没有工程设置</source>
        <translation>%1 is not a project file: its [%2] section holds no project settings</translation>
    </message>
    <message>
        <source>工程文件 %1 保存失败：%2</source>
        <translation>Project file %1 could not be saved: %2</translation>
    </message>
</context>
</TS>
