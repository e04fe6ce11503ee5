<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::MqttClient</name>
    <message>
        <source>代理服务器拒绝了用户名或密码 (%1)</source>
        <translation>The broker refused the user name or password (%1)</translation>
    </message>
    <message>
        <source>代理服务器拒绝连接: %1</source>
        <translation>The broker refused the connection: %1</translation>
    </message>
    <message>
        <source>无法连接代理服务器 %1:%2 (%3)，稍后重试</source>
        <translation>Cannot connect to the broker %1:%2 (%3); trying again later</translation>
    </message>
    <message>
        <source>无法创建 MQTT 客户端</source>
        <translation>Cannot create the MQTT client</translation>
    </message>
    <message>
        <source>TLS 设置无效 (CA 文件、证书或密钥无法读取): %1</source>
        <translation>Invalid TLS settings (the CA file, certificate or key cannot be read): %1</translation>
    </message>
    <message>
        <source>与代理服务器的连接已断开，正在重连</source>
        <translation>The connection to the broker was lost; connecting again</translation>
    </message>
    <message>
        <source>代理服务器的证书未通过 CA 文件的验证</source>
        <translation>The broker&apos;s certificate failed verification against the CA file</translation>
    </message>
    <message>
        <source>TLS 握手失败: %1</source>
        <translation>TLS handshake failed: %1</translation>
    </message>
</context>
<context>
    <name>vantor::PublishConfig</name>
    <message>
        <source>--publish 须为 mqtt://主机:端口[/前缀] 或 mqtts://主机:端口[/前缀]，实际为“%1”</source>
        <translation>--publish needs mqtt://HOST:PORT[/PREFIX] or mqtts://HOST:PORT[/PREFIX], got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--publish：“%1=%2”不是 interval=0..86400、deadband=X (0 或以上) 或 qos=0|1</source>
        <translation>--publish: &apos;%1=%2&apos; is not interval=0..86400, deadband=X (0 or more) or qos=0|1</translation>
    </message>
    <message>
        <source>--publish：端口须为 1..65535，实际为“%1”</source>
        <translation>--publish: port must be 1..65535, got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>无法读取密码文件 %1</source>
        <translation>Cannot read the password file %1</translation>
    </message>
    <message>
        <source>密码文件 %1 可被其他用户读取，拒绝使用 (请执行 chmod 600)</source>
        <translation>The password file %1 can be read by other users; not used (run chmod 600)</translation>
    </message>
    <message>
        <source>请填写代理服务器地址</source>
        <translation>Enter the broker address</translation>
    </message>
    <message>
        <source>客户端证书和密钥须同时给出</source>
        <translation>Give the client certificate and the key together</translation>
    </message>
    <message>
        <source>启用 TLS 时须给出 CA 文件</source>
        <translation>TLS needs a CA file</translation>
    </message>
</context>
<context>
    <name>vantor::Publisher</name>
    <message>
        <source>已连接</source>
        <translation>connected</translation>
    </message>
    <message>
        <source>连接中</source>
        <translation>connecting</translation>
    </message>
    <message>
        <source>被拒绝</source>
        <translation>refused</translation>
    </message>
    <message>
        <source>未启用</source>
        <translation>off</translation>
    </message>
    <message>
        <source>未设置代理服务器地址，不发布数据</source>
        <translation>No broker address set: no data published</translation>
    </message>
    <message>
        <source>队列 %1</source>
        <translation>queue %1</translation>
    </message>
    <message>
        <source>丢弃 %1</source>
        <translation>dropped %1</translation>
    </message>
    <message>
        <source>MQTT: 已连接代理服务器 %1:%2</source>
        <translation>MQTT: connected to the broker %1:%2</translation>
    </message>
    <message>
        <source>MQTT: 发布队列已满 (%1 条)，丢弃最早的 %2 条消息，累计 %3 条</source>
        <translation>MQTT: publishing queue full (%1 messages); dropped the oldest %2 messages, %3 in all</translation>
    </message>
</context>
</TS>
