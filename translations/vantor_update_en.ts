<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CurlLibrary</name>
    <message>
        <source>无法加载 libcurl：%1</source>
        <translation>Cannot load libcurl: %1</translation>
    </message>
    <message>
        <source>libcurl 缺少所需的函数：%1</source>
        <translation>libcurl lacks a needed function: %1</translation>
    </message>
    <message>
        <source>无法初始化 libcurl</source>
        <translation>Cannot initialise libcurl</translation>
    </message>
</context>
<context>
    <name>vantor::UpdateCheck</name>
    <message>
        <source>版本文件已不存在</source>
        <translation>The version file no longer exists</translation>
    </message>
</context>
<context>
    <name>vantor::Updater</name>
    <message>
        <source>找不到升级程序：%1</source>
        <translation>Updater not found: %1</translation>
    </message>
    <message>
        <source>无法启动升级程序：%1</source>
        <translation>Cannot start the updater: %1</translation>
    </message>
    <message>
        <source>已启动升级程序：%1</source>
        <translation>Updater started: %1</translation>
    </message>
    <message>
        <source>Vantor 由软件包管理器安装，请用 apt upgrade 升级</source>
        <translation>Vantor was installed by the package manager: update it with apt upgrade</translation>
    </message>
</context>
<context>
    <name>vantor::VersionDownload</name>
    <message>
        <source>无法初始化下载</source>
        <translation>Cannot initialise the download</translation>
    </message>
    <message>
        <source>版本文件超过 64 KB</source>
        <translation>The version file exceeds 64 KB</translation>
    </message>
    <message>
        <source>下载失败：%1</source>
        <translation>Download failed: %1</translation>
    </message>
    <message>
        <source>无法保存文件 %1：%2</source>
        <translation>Cannot save the file %1: %2</translation>
    </message>
</context>
<context>
    <name>vantor::VersionFile</name>
    <message>
        <source>版本文件超过 64 KB</source>
        <translation>The version file exceeds 64 KB</translation>
    </message>
    <message>
        <source>版本文件不是文本文件</source>
        <translation>The version file is not a text file</translation>
    </message>
    <message>
        <source>版本文件含有无法识别的字符</source>
        <translation>The version file contains unrecognised characters</translation>
    </message>
    <message>
        <source>版本文件第 %1 行格式错误</source>
        <translation>The version file has a format error in line %1</translation>
    </message>
    <message>
        <source>版本文件没有任何节</source>
        <translation>The version file has no sections</translation>
    </message>
</context>
</TS>
