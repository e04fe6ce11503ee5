<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CAboutDlg</name>
    <message>
        <source>关于 Vantor %1</source>
        <translation>About Vantor %1</translation>
    </message>
    <message>
        <source>Vantor %1 版</source>
        <translation>Vantor version %1</translation>
    </message>
</context>
<context>
    <name>vantor::CCommSettingsDlg</name>
    <message>
        <source>通信设置</source>
        <translation>Communication Settings</translation>
    </message>
    <message>
        <source>连接方式在通信面板中切换</source>
        <translation>The connection type is switched in the communication panel</translation>
    </message>
    <message>
        <source>应答</source>
        <translation>Reply</translation>
    </message>
    <message>
        <source>请求超过此时间未收到应答即计为无应答；发包间隔为 0 时，下一请求在应答判定后或超时后立即发送</source>
        <translation>A request without a reply within this time counts as no reply; with a send interval of 0 the next request goes out as soon as the reply is judged or the timeout passes</translation>
    </message>
    <message>
        <source>应答超时</source>
        <translation>Reply timeout</translation>
    </message>
</context>
<context>
    <name>vantor::CMainFrame</name>
    <message>
        <source>通信状态</source>
        <translation>Comms</translation>
    </message>
    <message>
        <source>趋势曲线</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>最近文件</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>保存工程(&amp;S)</source>
        <translation>&amp;Save Project</translation>
    </message>
    <message>
        <source>打开工程(&amp;O)</source>
        <translation>&amp;Open Project</translation>
    </message>
    <message>
        <source>打开工程</source>
        <translation>Open Project</translation>
    </message>
    <message>
        <source>最近打开工程</source>
        <translation>Recent Projects</translation>
    </message>
    <message>
        <source>清除最近文件</source>
        <translation>Clear Recent Files</translation>
    </message>
    <message>
        <source>清除最近文件列表</source>
        <translation>Clear the list of recent files</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>通信(&amp;E)</source>
        <translation>&amp;Communication</translation>
    </message>
    <message>
        <source>通信设置(&amp;T)</source>
        <translation>Communication Se&amp;ttings</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>关于 Vantor %1(&amp;A)...</source>
        <translation>&amp;About Vantor %1...</translation>
    </message>
    <message>
        <source>版本更新...(&amp;V)</source>
        <translation>Update &amp;Version...</translation>
    </message>
    <message>
        <source>提示更新信息</source>
        <translation>Notify About Updates</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source> 控制 </source>
        <translation> Control </translation>
    </message>
    <message>
        <source> 编辑 </source>
        <translation> Edit </translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>时钟</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>大写</source>
        <translation>CAP</translation>
    </message>
    <message>
        <source>数字</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>滚动</source>
        <translation>SCRL</translation>
    </message>
    <message>
        <source>我的控制条</source>
        <translation>Control Bar</translation>
    </message>
    <message>
        <source>功能界面</source>
        <translation>Views</translation>
    </message>
    <message>
        <source>功能选择</source>
        <translation>Functions</translation>
    </message>
    <message>
        <source>监控对象</source>
        <translation>Monitoring</translation>
    </message>
    <message>
        <source>曲线点位</source>
        <translation>Curve Points</translation>
    </message>
    <message>
        <source>发送命令</source>
        <translation>Send Command</translation>
    </message>
    <message>
        <source>我的控制条2</source>
        <translation>Control Bar 2</translation>
    </message>
    <message>
        <source>进度栏</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>数据页</source>
        <translation>Data pages</translation>
    </message>
    <message>
        <source>打开该文档</source>
        <translation>Open this document</translation>
    </message>
    <message>
        <source>是否保存对当前工程的修改？</source>
        <translation>Save the changes to the current project?</translation>
    </message>
    <message>
        <source>保存工程</source>
        <translation>Save Project</translation>
    </message>
</context>
<context>
    <name>vantor::CUpdatePromptDlg</name>
    <message>
        <source>不再提示该信息</source>
        <translation>Do not show this message again</translation>
    </message>
    <message>
        <source>是否升级（Y/N）</source>
        <translation>Update (Y/N)</translation>
    </message>
    <message>
        <source>检测到网络上有更新的软件版本，是否升级？</source>
        <translation>A newer version of the program is available on the network. Update now?</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vantor::CZelvoView</name>
    <message>
        <source>通信状态</source>
        <translation>Comms</translation>
    </message>
    <message>
        <source>趋势曲线</source>
        <translation>Trend</translation>
    </message>
</context>
<context>
    <name>vantor::ConsoleCsv</name>
    <message>
        <source>无法创建文件 %1：%2</source>
        <translation>Cannot create the file %1: %2</translation>
    </message>
    <message>
        <source>写入文件 %1 失败：%2</source>
        <translation>Writing the file %1 failed: %2</translation>
    </message>
</context>
<context>
    <name>vantor::ConsoleOptions</name>
    <message>
        <source>Vantor：Modbus 主站与趋势记录仪。</source>
        <translation>Vantor: Modbus master and trend recorder.</translation>
    </message>
    <message>
        <source>要在窗口中打开的工程文件 (.ini) 或曲线文件 (.tee，作为历史曲线)。</source>
        <translation>Project file (.ini) or curve file (.tee, as history) to open in the window.</translation>
    </message>
    <message>
        <source>不开窗口轮询，输出日志、单元格数值和计数。</source>
        <translation>Poll without windows, printing the log, the cell values and the counters.</translation>
    </message>
    <message>
        <source>启动内置的模拟设备并轮询它。</source>
        <translation>Start the built-in simulated device and poll it.</translation>
    </message>
    <message>
        <source>打开窗口时不显示启动画面。</source>
        <translation>Open the window without the start-up picture.</translation>
    </message>
    <message>
        <source>连接断开后每秒重新打开，而不结束运行。</source>
        <translation>Open a lost link again every second instead of ending the run.</translation>
    </message>
    <message>
        <source>轮询时不输出日志行和单元格数值：只输出消息，以及结束时的计数和各数据包的统计。</source>
        <translation>Print no log lines or cell values while polling: only messages, and the counters and the packets&apos; statistics at the end.</translation>
    </message>
    <message>
        <source>串口设备 (ttyUSB0、/dev/pts/3、COM3)。</source>
        <translation>Serial device (ttyUSB0, /dev/pts/3, COM3).</translation>
    </message>
    <message>
        <source>波特率 (默认 19200)。</source>
        <translation>Baud rate (default 19200).</translation>
    </message>
    <message>
        <source>校验 N、O 或 E (默认 N)。</source>
        <translation>Parity N, O or E (default N).</translation>
    </message>
    <message>
        <source>数据位 (默认 8)。</source>
        <translation>Data bits (default 8).</translation>
    </message>
    <message>
        <source>停止位 1 或 2 (默认 2)。</source>
        <translation>Stop bits 1 or 2 (default 2).</translation>
    </message>
    <message>
        <source>Modbus TCP 服务器。</source>
        <translation>Modbus TCP server.</translation>
    </message>
    <message>
        <source>经 TCP 传送 RTU 帧的串口网关；数据包与串口线路上相同。</source>
        <translation>A serial gateway that passes RTU frames over TCP; packets as on a serial line.</translation>
    </message>
    <message>
        <source>每个数据包的 Modbus TCP 单元标识 (默认：各数据包的站号)。</source>
        <translation>Modbus TCP unit identifier of every packet (default: each packet&apos;s slave ID).</translation>
    </message>
    <message>
        <source>每个数据包的 Modbus TCP 功能码，须为读取的功能码 (默认：各数据包的功能码，1..4)。</source>
        <translation>Modbus TCP function code of every packet, a reading one (default: each packet&apos;s function code, 1..4).</translation>
    </message>
    <message>
        <source>要轮询的数据包；重复给出即第 1、2……行。</source>
        <translation>A packet to poll; repeat for rows 1, 2, ...</translation>
    </message>
    <message>
        <source>单元格的数值格式 (数据包从 1 起，单元格从 0 起)。</source>
        <translation>Value format of a cell (packet from 1, cell from 0).</translation>
    </message>
    <message>
        <source>首次应答后写入一个单元格 (数据包从 1 起，单元格从 0 起；文本同写入对话框的十进制文本)；可重复。</source>
        <translation>Write a cell after the first reply (packet from 1, cell from 0; the text as the write dialog&apos;s decimal text); repeatable.</translation>
    </message>
    <message>
        <source>首次应答后发送一个不含 CRC 的十六进制帧；可重复。</source>
        <translation>Send a hex frame without CRC after the first reply; repeatable.</translation>
    </message>
    <message>
        <source>发送间隔，单位毫秒 (默认 200)；为 0 时，应答判定后或应答超时后立即发送下一请求。</source>
        <translation>Send interval in milliseconds (default 200); 0 sends the next request as soon as the reply is judged or the reply timeout passes.</translation>
    </message>
    <message>
        <source>应答超时，单位毫秒，10..60000 (默认 1000)。</source>
        <translation>Reply timeout in milliseconds, 10..60000 (default 1000).</translation>
    </message>
    <message>
        <source>点位标签的地址起点，0 或 1 (默认 0)。</source>
        <translation>Address base of the point labels, 0 or 1 (default 0).</translation>
    </message>
    <message>
        <source>运行时长，单位秒 (默认：直到被中断)。</source>
        <translation>Run length in seconds (default: until interrupted).</translation>
    </message>
    <message>
        <source>把每个被接受的应答的单元格以 CSV 行 (时间、数据包、单元格) 记录到 FILE。</source>
        <translation>Record the cells of every accepted reply in FILE as CSV rows (time, packet, cells).</translation>
    </message>
    <message>
        <source>把数据点发布到 MQTT 代理服务器 (mqtts:// 为 TLS)，使用工程的发布设置或默认设置。</source>
        <translation>Publish the points to an MQTT broker (mqtts:// for TLS), with the project&apos;s publishing settings or the defaults.</translation>
    </message>
    <message>
        <source>按工程文件的数据包、线路设置、格式和标签轮询 (串口设备仍由 --serial 给出)。</source>
        <translation>Poll with the packets, line settings, formats and labels of a project file (the serial device still comes from --serial).</translation>
    </message>
    <message>
        <source>%1 或 %2</source>
        <translation>%1 or %2</translation>
    </message>
    <message>
        <source>--packet 须为 SLAVE,FUNCTION,ADDRESS,COUNT，实际为“%1”</source>
        <translation>--packet needs SLAVE,FUNCTION,ADDRESS,COUNT, got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--packet “%1”：站号须为 0..255，功能码须为数字，地址须为 0..65535</source>
        <translation>--packet &apos;%1&apos;: slave ID must be 0..255, function code a number and address 0..65535</translation>
    </message>
    <message>
        <source>--packet “%1”：功能码须为 %2</source>
        <translation>--packet &apos;%1&apos;: function code must be %2</translation>
    </message>
    <message>
        <source>--packet “%1”：经 --tcp 且未给 --function 时，功能码须为 %2</source>
        <translation>--packet &apos;%1&apos;: over --tcp without --function, function code must be %2</translation>
    </message>
    <message>
        <source>--packet “%1”：功能码 %3 的数量须为 1..%2</source>
        <translation>--packet &apos;%1&apos;: count must be 1..%2 for function code %3</translation>
    </message>
    <message>
        <source>--format 须为 PACKET:CELL=CODE (数据包 1..30，单元格 0..129，格式码 4、5、7..10 或 12..15)，实际为“%1”</source>
        <translation>--format needs PACKET:CELL=CODE (packet 1..30, cell 0..129, code 4, 5, 7..10 or 12..15), got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--write 须为 PACKET:CELL=TEXT (数据包 1..30，单元格 0..129)，实际为“%1”</source>
        <translation>--write needs PACKET:CELL=TEXT (packet 1..30, cell 0..129), got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--serial、--tcp 和 --rtu-over-tcp 只能选其一</source>
        <translation>--serial, --tcp and --rtu-over-tcp exclude each other</translation>
    </message>
    <message>
        <source>--%1 须为 HOST:PORT，端口 1..65535，实际为“%2”</source>
        <translation>--%1 needs HOST:PORT with a port 1..65535, got &apos;%2&apos;</translation>
    </message>
    <message>
        <source>请指定连接：--serial DEVICE、--tcp HOST:PORT 或 --rtu-over-tcp HOST:PORT (或使用 --demo)</source>
        <translation>name a link: --serial DEVICE, --tcp HOST:PORT or --rtu-over-tcp HOST:PORT (or use --demo)</translation>
    </message>
    <message>
        <source>--baud 须为正整数，实际为“%1”</source>
        <translation>--baud must be a positive number, got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--parity 须为 N、O 或 E，实际为“%1”</source>
        <translation>--parity must be N, O or E, got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--data-bits 须为 5..8，实际为“%1”</source>
        <translation>--data-bits must be 5..8, got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--stop-bits 须为 1 或 2，实际为“%1”</source>
        <translation>--stop-bits must be 1 or 2, got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--unit 须为 0..255，实际为“%1”</source>
        <translation>--unit must be 0..255, got &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--function %1 是写入设备的功能码，不能轮询；请用 %2 之一 (或 --write、--send)</source>
        <translation>--function %1 writes to the device and cannot be polled; use one of %2 (or --write, --send)</translation>
    </message>
    <message>
        <source>--function 须为 %1 之一，实际为“%2”</source>
        <translation>--function must be one of %1, got &apos;%2&apos;</translation>
    </message>
    <message>
        <source>--packet 最多 %1 个</source>
        <translation>at most %1 --packet options</translation>
    </message>
    <message>
        <source>--csv 须给出文件名</source>
        <translation>--csv needs a FILE name</translation>
    </message>
    <message>
        <source>--csv 记录控制台运行，请加 --console</source>
        <translation>--csv records a console run; add --console</translation>
    </message>
    <message>
        <source>--publish 用于控制台运行，请加 --console</source>
        <translation>--publish applies to a console run; add --console</translation>
    </message>
    <message>
        <source>--%1 须为 %2..%3，实际为“%4”</source>
        <translation>--%1 must be %2..%3, got &apos;%4&apos;</translation>
    </message>
    <message>
        <source>--project 须给出文件名</source>
        <translation>--project needs a FILE name</translation>
    </message>
    <message>
        <source>请至少给出一个 --packet SLAVE,FUNCTION,ADDRESS,COUNT</source>
        <translation>give at least one --packet SLAVE,FUNCTION,ADDRESS,COUNT</translation>
    </message>
    <message>
        <source>未知选项：%1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>多余的参数“%1”</source>
        <translation>unexpected argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--quiet 用于控制台运行，请加 --console</source>
        <translation>--quiet applies to a console run; add --console</translation>
    </message>
</context>
<context>
    <name>vantor::ConsoleRunner</name>
    <message>
        <source>连接服务器失败! (%1)</source>
        <translation>Connecting to the server failed! (%1)</translation>
    </message>
    <message>
        <source>已重新连接</source>
        <translation>Connected again</translation>
    </message>
    <message>
        <source>Modbus TCP/IP 连接已断开: %1</source>
        <translation>Modbus TCP/IP connection lost: %1</translation>
    </message>
    <message>
        <source>数据包配置失败，未发送，运行结束</source>
        <translation>Packet configuration failed; nothing sent, the run ends</translation>
    </message>
    <message>
        <source>1 秒后重新连接……</source>
        <translation>Connecting again in 1 second...</translation>
    </message>
    <message>
        <source>数据包 %1 未配置，不能写入</source>
        <translation>Packet %1 is not configured: cannot write</translation>
    </message>
    <message>
        <source>MQTT: 发布到 %1:%2，主题前缀 %3</source>
        <translation>MQTT: publishing to %1:%2, topic prefix %3</translation>
    </message>
</context>
<context>
    <name>vantor::DemoDevice</name>
    <message>
        <source>无法启动模拟设备：%1</source>
        <translation>cannot start the simulated device: %1</translation>
    </message>
</context>
<context>
    <name>vantor::LanguageMenu</name>
    <message>
        <source>跟随系统</source>
        <translation>Follow the System</translation>
    </message>
</context>
<context>
    <name>vantor::ProjectController</name>
    <message>
        <source>工程已保存：%1</source>
        <translation>Project saved: %1</translation>
    </message>
    <message>
        <source>已打开工程：%1</source>
        <translation>Project opened: %1</translation>
    </message>
</context>
<context>
    <name>vantor::PublishControls</name>
    <message>
        <source>数据发布...</source>
        <translation>Data Publishing...</translation>
    </message>
    <message>
        <source>把数据点发布到 MQTT 代理服务器</source>
        <translation>Publish the data points to an MQTT broker</translation>
    </message>
</context>
<context>
    <name>vantor::PublishDlg</name>
    <message>
        <source>数据发布</source>
        <translation>Data Publishing</translation>
    </message>
    <message>
        <source>发布到 MQTT 代理服务器</source>
        <translation>Publish to an MQTT broker</translation>
    </message>
    <message>
        <source>代理服务器地址</source>
        <translation>Broker address</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>vantor-&lt;主机名&gt;-&lt;进程号&gt;</source>
        <translation>vantor-&lt;host name&gt;-&lt;process ID&gt;</translation>
    </message>
    <message>
        <source>客户端标识</source>
        <translation>Client ID</translation>
    </message>
    <message>
        <source>vantor/&lt;主机名&gt;/</source>
        <translation>vantor/&lt;host name&gt;/</translation>
    </message>
    <message>
        <source>每次应答</source>
        <translation>Every reply</translation>
    </message>
    <message>
        <source>至少每隔</source>
        <translation>At least every</translation>
    </message>
    <message>
        <source>死区</source>
        <translation>Deadband</translation>
    </message>
    <message>
        <source>自动 (10 分钟的流量)</source>
        <translation>Automatic (10 minutes of traffic)</translation>
    </message>
    <message>
        <source>离线队列 (条)</source>
        <translation>Offline queue (messages)</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>空: 环境变量 %1</source>
        <translation>Empty: $%1</translation>
    </message>
    <message>
        <source>密码文件</source>
        <translation>Password file</translation>
    </message>
    <message>
        <source>CA 文件</source>
        <translation>CA file</translation>
    </message>
    <message>
        <source>客户端证书</source>
        <translation>Client certificate</translation>
    </message>
    <message>
        <source>客户端密钥</source>
        <translation>Client key</translation>
    </message>
    <message>
        <source>选择文件</source>
        <translation>Choose File</translation>
    </message>
    <message>
        <source>主题前缀</source>
        <translation>Topic prefix</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
</context>
<context>
    <name>vantor::UserNames</name>
    <message>
        <source>点位序列号名称</source>
        <translation>Serial Names</translation>
    </message>
    <message>
        <source>用户自定义名称</source>
        <translation>User Names</translation>
    </message>
</context>
</TS>
