<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vantor::CTrendPanelDlg</name>
    <message>
        <source>X轴</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y轴</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>A轴</source>
        <translation>A</translation>
    </message>
    <message>
        <source>B轴</source>
        <translation>B</translation>
    </message>
    <message>
        <source>C轴</source>
        <translation>C</translation>
    </message>
    <message>
        <source>D轴</source>
        <translation>D</translation>
    </message>
    <message>
        <source>E轴</source>
        <translation>E</translation>
    </message>
    <message>
        <source>实时曲线</source>
        <translation>Live trend</translation>
    </message>
    <message>
        <source>历史曲线</source>
        <translation>History</translation>
    </message>
    <message>
        <source>暂停曲线</source>
        <translation>Pause trend</translation>
    </message>
    <message>
        <source>移动曲线</source>
        <translation>Move trend</translation>
    </message>
    <message>
        <source>保存曲线</source>
        <translation>Save curves</translation>
    </message>
    <message>
        <source>快退曲线</source>
        <translation>Fast backward</translation>
    </message>
    <message>
        <source>快进曲线</source>
        <translation>Fast forward</translation>
    </message>
    <message>
        <source>勾选框</source>
        <translation>Legend check boxes</translation>
    </message>
    <message>
        <source>Y轴复位</source>
        <translation>Reset value axes</translation>
    </message>
    <message>
        <source>Y轴归零</source>
        <translation>Value axes from zero</translation>
    </message>
    <message>
        <source>自动保存曲线</source>
        <translation>Auto-save curves</translation>
    </message>
    <message>
        <source>文本数值框</source>
        <translation>Value text box</translation>
    </message>
    <message>
        <source>界面设置</source>
        <translation>Display settings</translation>
    </message>
    <message>
        <source>悬浮框及透明度</source>
        <translation>Floating box and transparency</translation>
    </message>
    <message>
        <source>通讯点位实时曲线</source>
        <translation>Live trend of communication points</translation>
    </message>
    <message>
        <source>通讯点位历史曲线</source>
        <translation>History of communication points: </translation>
    </message>
    <message>
        <source>历史曲线数修正+1</source>
        <translation>History curve count correction +1</translation>
    </message>
    <message>
        <source>历史曲线数修正-1</source>
        <translation>History curve count correction -1</translation>
    </message>
    <message>
        <source>启动线程</source>
        <translation>Start thread</translation>
    </message>
    <message>
        <source>关闭线程</source>
        <translation>Stop thread</translation>
    </message>
    <message>
        <source>保存数据曲线</source>
        <translation>Record curves</translation>
    </message>
    <message>
        <source>是否录制采集到的数据曲线？</source>
        <translation>Record the sampled data as curves?</translation>
    </message>
    <message>
        <source>正在查看历史曲线：点击“实时曲线”后开始录制</source>
        <translation>Viewing history: recording starts when you click “Live trend”</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Executable Files (*.tee);;CSV 表格 (*.csv)</source>
        <translation>Executable Files (*.tee);;CSV tables (*.csv)</translation>
    </message>
    <message>
        <source>已打开历史曲线 %1</source>
        <translation>Opened history %1</translation>
    </message>
    <message>
        <source>曲线文件 (*.tee)</source>
        <translation>Curve files (*.tee)</translation>
    </message>
    <message>
        <source>CSV 表格 (*.csv)</source>
        <translation>CSV tables (*.csv)</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>PDF 文档 (*.pdf)</source>
        <translation>PDF documents (*.pdf)</translation>
    </message>
    <message>
        <source>CSV 表格，两游标之间 (*.csv)</source>
        <translation>CSV tables, between the two cursors (*.csv)</translation>
    </message>
    <message>
        <source>PNG 图片，两游标之间 (*.png)</source>
        <translation>PNG pictures, between the two cursors (*.png)</translation>
    </message>
    <message>
        <source>曲线已保存到 %1</source>
        <translation>Curves saved to %1</translation>
    </message>
    <message>
        <source>全部显示</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>显示全部数据（双击曲线区同样）</source>
        <translation>Show all data (or double-click the plot)</translation>
    </message>
    <message>
        <source>自动缩放</source>
        <translation>Autoscale</translation>
    </message>
    <message>
        <source>各数值轴按可见数据自动缩放</source>
        <translation>Scale each value axis to the visible data</translation>
    </message>
    <message>
        <source>跟随最新</source>
        <translation>Follow</translation>
    </message>
    <message>
        <source>最新数据保持在右边缘；缩放或平移后停止跟随</source>
        <translation>Keep the newest data at the right edge; zooming or panning stops following</translation>
    </message>
    <message>
        <source>双游标</source>
        <translation>Two cursors</translation>
    </message>
    <message>
        <source>第二游标：Shift+单击放置，可拖动；读数显示两游标的值与差值</source>
        <translation>Second cursor: Shift+click to place, drag to move; the read-out shows the values at both cursors and their difference</translation>
    </message>
</context>
<context>
    <name>vantor::ChartPictures</name>
    <message>
        <source>曲线图片 %1 保存失败：%2</source>
        <translation>Could not save chart picture %1: %2</translation>
    </message>
</context>
<context>
    <name>vantor::CurveCsv</name>
    <message>
        <source>无法保存 CSV 文件 %1：%2</source>
        <translation>Cannot save CSV file %1: %2</translation>
    </message>
</context>
<context>
    <name>vantor::CurveCsvRead</name>
    <message>
        <source>无法打开 CSV 文件 %1：第 %2 行%3</source>
        <translation>Cannot open CSV file %1: line %2: %3</translation>
    </message>
    <message>
        <source>不是本程序保存的曲线表格（首列应为“时间”）</source>
        <translation>not a curve table saved by this program (the first column must be “时间”)</translation>
    </message>
    <message>
        <source>的时间无法识别</source>
        <translation>the time is not recognised</translation>
    </message>
    <message>
        <source>第 %1 列不是数值</source>
        <translation>column %1 is not a number</translation>
    </message>
    <message>
        <source>无法打开 CSV 文件 %1：%2</source>
        <translation>Cannot open CSV file %1: %2</translation>
    </message>
</context>
<context>
    <name>vantor::CurveRecorder</name>
    <message>
        <source>曲线数据转存完成：%1</source>
        <translation>Curve data saved: %1</translation>
    </message>
    <message>
        <source>曲线数据转存中……</source>
        <translation>Saving curve data…</translation>
    </message>
</context>
<context>
    <name>vantor::TeeFile</name>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>曲线文件 %1 保存失败：%2</source>
        <translation>Could not save curve file %1: %2</translation>
    </message>
    <message>
        <source>曲线超过 %1 条</source>
        <translation>more than %1 curves</translation>
    </message>
    <message>
        <source>第 %1 条曲线的 X 值与点数不符</source>
        <translation>the X values of curve %1 do not match its point count</translation>
    </message>
    <message>
        <source>无法在所在文件夹建立文件</source>
        <translation>cannot create a file in its folder</translation>
    </message>
    <message>
        <source>写入出错，原文件未改动</source>
        <translation>write error, the original file is unchanged</translation>
    </message>
    <message>
        <source>写入出错，原文件未改动（%1）</source>
        <translation>write error, the original file is unchanged (%1)</translation>
    </message>
    <message>
        <source>无法读回已转存的曲线数据，原文件未改动</source>
        <translation>cannot read back the curve data already moved to the file; the file is unchanged</translation>
    </message>
</context>
<context>
    <name>vantor::TeeFileRead</name>
    <message>
        <source>曲线文件 %1 不完整：文件在结尾之前中断（可能保存时被打断）。</source>
        <translation>Curve file %1 is incomplete: the file stops before its end (the save was probably interrupted).</translation>
    </message>
    <message>
        <source>曲线文件 %1 已损坏：数据校验和不符。</source>
        <translation>Curve file %1 is damaged: a data checksum does not match.</translation>
    </message>
    <message>
        <source>曲线文件 %1 已损坏：数据长度或内容不合理。</source>
        <translation>Curve file %1 is damaged: a data length or content is implausible.</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>cut off</translation>
    </message>
    <message>
        <source>校验和不符</source>
        <translation>checksum mismatch</translation>
    </message>
    <message>
        <source>内容不合理</source>
        <translation>implausible content</translation>
    </message>
    <message>
        <source>曲线文件 %1 的最后一次保存不完整（%2，可能保存时程序被终止）：已打开此前完整保存的数据。</source>
        <translation>The last save of curve file %1 is incomplete (%2; the program was probably ended while saving): the data of the earlier complete saves has been opened.</translation>
    </message>
    <message>
        <source>曲线文件 %1 是空文件。</source>
        <translation>Curve file %1 is empty.</translation>
    </message>
    <message>
        <source>%1 不是本程序的曲线文件（文件头不符）。</source>
        <translation>%1 is not a curve file of this program (the file header does not match).</translation>
    </message>
    <message>
        <source>曲线文件 %1 的格式版本为 %2.%3，本程序只能读取 %4.x 版本（请使用较新版本的程序打开）。</source>
        <translation>Curve file %1 has format version %2.%3; this program reads version %4.x only (open it with a newer version of the program).</translation>
    </message>
    <message>
        <source>无法打开曲线文件 %1：文件不存在。</source>
        <translation>Cannot open curve file %1: the file does not exist.</translation>
    </message>
    <message>
        <source>无法打开曲线文件 %1：%2。</source>
        <translation>Cannot open curve file %1: %2.</translation>
    </message>
    <message>
        <source>无法读取曲线文件 %1：%2。</source>
        <translation>Cannot read curve file %1: %2.</translation>
    </message>
</context>
<context>
    <name>vantor::TeeRunWriter</name>
    <message>
        <source>无法打开文件追加数据（%1）</source>
        <translation>cannot open the file to append data (%1)</translation>
    </message>
    <message>
        <source>文件已被其他程序改动，下次将整体重写</source>
        <translation>the file was changed by another program; it will be rewritten whole next time</translation>
    </message>
    <message>
        <source>追加数据出错，文件保留上次保存的内容（%1）</source>
        <translation>error while appending data; the file keeps what was saved last (%1)</translation>
    </message>
</context>
<context>
    <name>vantor::TeeSpanIndex</name>
    <message>
        <source>无法打开曲线文件 %1 读回数据（%2）</source>
        <translation>Cannot open the curve file %1 to read data back (%2)</translation>
    </message>
    <message>
        <source>读回曲线文件 %1 的数据出错（%2）</source>
        <translation>Reading data back from the curve file %1 failed (%2)</translation>
    </message>
</context>
<context>
    <name>vantor::TrendSampler</name>
    <message>
        <source>无法写入共享数值文件 %1：%2</source>
        <translation>Cannot write the shared values file %1: %2</translation>
    </message>
</context>
</TS>
