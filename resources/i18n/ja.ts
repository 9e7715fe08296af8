<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>Qt について</translation>
    </message>
    <message>
        <source>developed by</source>
        <translation>開発:</translation>
    </message>
</context>
<context>
    <name>BatchSummary</name>
    <message>
        <source>Elapsed %1</source>
        <translation>経過時間 %1</translation>
    </message>
    <message>
        <source>Elapsed %1, about %2 left</source>
        <translation>経過時間 %1、残り約 %2</translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>失敗 %n 件</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2, %3</source>
        <translation>%1、%2、%3</translation>
    </message>
    <message numerus="yes">
        <source>%n done</source>
        <translation>
            <numerusform>完了 %n 件</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n skipped</source>
        <translation>
            <numerusform>スキップ %n 件</numerusform>
        </translation>
    </message>
    <message>
        <source>Finished in %1: %2</source>
        <translation>%1 で終了: %2</translation>
    </message>
    <message>
        <source>Cancelled after %1: %2; %3</source>
        <translation>%1 後にキャンセル: %2 (%3)</translation>
    </message>
    <message numerus="yes">
        <source>%n not converted</source>
        <translation>
            <numerusform>未変換 %n 件</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message numerus="yes">
        <source>%n with decode errors</source>
        <translation>
            <numerusform>デコードエラーあり %n 件</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopped after %1: %2; %3</source>
        <translation>%1 後に中止: %2 (%3)</translation>
    </message>
</context>
<context>
    <name>FFmpegTask</name>
    <message>
        <source>The encoder could not be started</source>
        <translation>エンコーダーを起動できませんでした</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>中止されました</translation>
    </message>
    <message>
        <source>The encoder crashed (signal %1)</source>
        <translation>エンコーダーがクラッシュしました (シグナル %1)</translation>
    </message>
    <message>
        <source>The encoder ended with exit code %1</source>
        <translation>エンコーダーが終了コード %1 で終了しました</translation>
    </message>
    <message>
        <source>No thread could be started for it</source>
        <translation>このファイル用のスレッドを開始できませんでした</translation>
    </message>
    <message>
        <source>The file could not be copied</source>
        <translation>ファイルをコピーできませんでした</translation>
    </message>
    <message>
        <source>The copy could not be put in place</source>
        <translation>コピーを所定の場所に配置できませんでした</translation>
    </message>
    <message>
        <source>The output would replace the input</source>
        <translation>出力ファイルが入力ファイルを置き換えてしまいます</translation>
    </message>
    <message>
        <source>The output would replace another input of the batch</source>
        <translation>出力ファイルがリスト内の別の入力ファイルを置き換えてしまいます</translation>
    </message>
    <message>
        <source>The encoder wrote no output</source>
        <translation>エンコーダーが何も出力しませんでした</translation>
    </message>
    <message>
        <source>Another file appeared at the output path meanwhile and was kept</source>
        <translation>処理中に出力パスに別のファイルが作成されたため、そのファイルを残しました</translation>
    </message>
    <message>
        <source>The output could not be put in place</source>
        <translation>出力ファイルを所定の場所に配置できませんでした</translation>
    </message>
    <message>
        <source>No space left on the device</source>
        <translation>デバイスの空き容量がありません</translation>
    </message>
    <message>
        <source>The disk quota is used up</source>
        <translation>ディスククォータを使い切りました</translation>
    </message>
    <message>
        <source>The output is too large for its file system</source>
        <translation>出力ファイルが大きすぎて、ファイルシステムに保存できません</translation>
    </message>
    <message>
        <source>The device reported an input/output error</source>
        <translation>デバイスが入出力エラーを報告しました</translation>
    </message>
    <message>
        <source>The encoder could not finish writing the output</source>
        <translation>エンコーダーが出力ファイルの書き込みを完了できませんでした</translation>
    </message>
    <message>
        <source>decoded with errors: %1</source>
        <translation>デコード時にエラーあり: %1</translation>
    </message>
    <message>
        <source>%1 (exit code %2)</source>
        <translation>%1 (終了コード %2)</translation>
    </message>
    <message>
        <source>Not an audio or video file</source>
        <translation>音声・動画ファイルではありません</translation>
    </message>
    <message>
        <source>Not an audio or video file; a file of that name is already in the output folder</source>
        <translation>音声・動画ファイルではありません。同じ名前のファイルが既に出力フォルダーにあります</translation>
    </message>
    <message>
        <source>Not an audio or video file; copied to the output folder</source>
        <translation>音声・動画ファイルではないため、出力フォルダーにコピーしました</translation>
    </message>
    <message>
        <source>The output already exists (quick mode)</source>
        <translation>出力ファイルが既に存在します (クイックモード)</translation>
    </message>
    <message>
        <source>Already in the output format; copied (quick mode)</source>
        <translation>既に出力形式のため、コピーしました (クイックモード)</translation>
    </message>
    <message>
        <source>Converted</source>
        <translation>変換しました</translation>
    </message>
    <message>
        <source>Writing the tags failed part way: the output may be damaged</source>
        <translation>タグの書き込みが途中で失敗しました。出力が壊れている可能性があります</translation>
    </message>
    <message>
        <source>Converted; %1</source>
        <translation>変換しました。%1</translation>
    </message>
    <message>
        <source>no ReplayGain tags: the loudness could not be measured</source>
        <translation>ReplayGain タグなし: ラウドネスを測定できませんでした</translation>
    </message>
    <message>
        <source>The same file as row %1, which converts it</source>
        <translation>行 %1 と同じファイルです（そちらで変換されます）</translation>
    </message>
</context>
<context>
    <name>JobDetailsDialog</name>
    <message>
        <source>Details: %1</source>
        <translation>詳細: %1</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>ファイル:</translation>
    </message>
    <message>
        <source>Result:</source>
        <translation>結果:</translation>
    </message>
    <message>
        <source>Output:</source>
        <translation>出力:</translation>
    </message>
    <message>
        <source>Command line:</source>
        <translation>コマンドライン:</translation>
    </message>
    <message>
        <source>No encoder ran for this file.</source>
        <translation>このファイルではエンコーダーは実行されませんでした。</translation>
    </message>
    <message>
        <source>Encoder output:</source>
        <translation>エンコーダーの出力:</translation>
    </message>
</context>
<context>
    <name>JobStatus</name>
    <message>
        <source>Pending</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>変換中</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>スキップ</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
</context>
<context>
    <name>JobTable</name>
    <message>
        <source>Converting %1 %</source>
        <translation>変換中 %1%</translation>
    </message>
    <message>
        <source>Output: %1</source>
        <translation>出力: %1</translation>
    </message>
    <message>
        <source>The encoder&apos;s last lines:</source>
        <translation>エンコーダー出力の最後の数行:</translation>
    </message>
    <message>
        <source>An earlier row has the same output, so this one is numbered.</source>
        <translation>前の行と出力が同じため、この行には番号が付きます。</translation>
    </message>
    <message>
        <source>Replaces an existing file.</source>
        <translation>既存のファイルを置き換えます。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Convert</source>
        <translation>変換</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>リストから削除</translation>
    </message>
    <message>
        <source>FFmpeg binary is invalid. Please check your settings.</source>
        <translation>FFmpeg のパスが無効です。設定を確認してください。</translation>
    </message>
    <message>
        <source>Your output directory is bad. Maybe it is not writable?</source>
        <translation>出力フォルダーが使用できません。書き込みできない可能性があります。</translation>
    </message>
    <message>
        <source>Drop files or folders here, or use Add Files</source>
        <translation>ここにファイルまたはフォルダーをドロップするか、「ファイルを追加」を使用してください</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Convert</source>
        <translation>変換(&amp;C)</translation>
    </message>
    <message>
        <source>Add &amp;Files…</source>
        <translation>ファイルを追加(&amp;F)…</translation>
    </message>
    <message>
        <source>Add F&amp;older…</source>
        <translation>フォルダーを追加(&amp;O)…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <source>Convert Failed Again</source>
        <translation>失敗したファイルを再変換</translation>
    </message>
    <message>
        <source>Stop Now</source>
        <translation>今すぐ中止</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>ファイルを追加</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>フォルダーを追加</translation>
    </message>
    <message>
        <source>Show Details…</source>
        <translation>詳細を表示…</translation>
    </message>
    <message>
        <source>Open Output Folder</source>
        <translation>出力フォルダーを開く</translation>
    </message>
    <message>
        <source>Cancelled: waiting for the files being converted to finish. Stop Now in the Convert menu stops them at once.</source>
        <translation>キャンセルしました: 変換中のファイルの完了を待っています。「変換」メニューの「今すぐ中止」ですぐに中止できます。</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>出力</translation>
    </message>
    <message>
        <source>%1 into %2</source>
        <translation>%1 → %2</translation>
    </message>
</context>
<context>
    <name>PreviewCounts</name>
    <message>
        <source>1 output replaces an existing file</source>
        <translation>1 件の出力が既存のファイルを置き換えます</translation>
    </message>
    <message>
        <source>%1 outputs replace existing files</source>
        <translation>%1 件の出力が既存のファイルを置き換えます</translation>
    </message>
    <message>
        <source>1 row collides</source>
        <translation>1 行が衝突します</translation>
    </message>
    <message>
        <source>%1 rows collide</source>
        <translation>%1 行が衝突します</translation>
    </message>
    <message>
        <source>1 output falls onto an input</source>
        <translation>1 件の出力が入力ファイルと重なります</translation>
    </message>
    <message>
        <source>%1 outputs fall onto inputs</source>
        <translation>%1 件の出力が入力ファイルと重なります</translation>
    </message>
    <message>
        <source>1 row repeats an input</source>
        <translation>1 行が入力を繰り返しています</translation>
    </message>
    <message>
        <source>%1 rows repeat an input</source>
        <translation>%1 行が入力を繰り返しています</translation>
    </message>
</context>
<context>
    <name>OutputPlan</name>
    <message>
        <source>The output folder cannot be made</source>
        <translation>出力フォルダーを作成できません</translation>
    </message>
    <message>
        <source>The file cannot be read</source>
        <translation>ファイルを読み込めません</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>基本</translation>
    </message>
    <message>
        <source>Output directory:</source>
        <translation>出力フォルダー:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>形式:</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>品質:</translation>
    </message>
    <message>
        <source>Samplerate:</source>
        <translation>サンプリングレート:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>チャンネル:</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>詳細</translation>
    </message>
    <message>
        <source>FFmpeg binary:</source>
        <translation>FFmpeg のパス:</translation>
    </message>
    <message>
        <source>This option may speed up the process in some cases by copying files which are already in the output format and skipping files which has already been converted. This will not change the bitrate or samplerate of the output file!</source>
        <translation>出力形式のファイルはそのままコピーし、変換済みのファイルはスキップすることで、処理が速くなる場合があります。出力ファイルのビットレートやサンプリングレートは変更されません。</translation>
    </message>
    <message>
        <source>Quick mode</source>
        <translation>クイックモード</translation>
    </message>
    <message>
        <source>How many files to process at the same time.
Select 0 to use all CPU threads.</source>
        <translation>同時に処理するファイルの数です。
0 を選ぶと CPU のすべてのスレッドを使用します。</translation>
    </message>
    <message>
        <source>Threads:</source>
        <translation>スレッド数:</translation>
    </message>
    <message>
        <source>SoX is slower, but results in higher quality. This option requires FFmpeg compiled with libsoxr.</source>
        <translation>SoX は低速ですが、より高い品質が得られます。このオプションには libsoxr を有効にしてビルドされた FFmpeg が必要です。</translation>
    </message>
    <message>
        <source>Use SoX resampler</source>
        <translation>SoX リサンプラーを使用</translation>
    </message>
    <message>
        <source>Copy any file not containing audio to the output directory</source>
        <translation>音声を含まないファイルをそのまま出力フォルダーにコピーします。</translation>
    </message>
    <message>
        <source>Copy non-audio files</source>
        <translation>音声以外のファイルをコピー</translation>
    </message>
    <message>
        <source>Filters</source>
        <translation>フィルター</translation>
    </message>
    <message>
        <source>Preset:</source>
        <translation>プリセット:</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>元のまま</translation>
    </message>
    <message>
        <source>1 (Mono)</source>
        <translation>1 (モノラル)</translation>
    </message>
    <message>
        <source>2 (Stereo)</source>
        <translation>2 (ステレオ)</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>無効</translation>
    </message>
    <message>
        <source>Increase volume</source>
        <translation>音量を上げる</translation>
    </message>
    <message>
        <source>Reduce volume</source>
        <translation>音量を下げる</translation>
    </message>
    <message>
        <source>Fade-in and fade-out</source>
        <translation>フェードイン・フェードアウト</translation>
    </message>
    <message>
        <source>Bass boost</source>
        <translation>低音強調</translation>
    </message>
    <message>
        <source>Speed up</source>
        <translation>速度アップ</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>フォルダーを開く</translation>
    </message>
    <message>
        <source>Gives each output the front cover of its input, or else the folder&apos;s cover, folder, front or albumart picture.</source>
        <translation>各出力に入力のフロントカバーを付けます。ない場合はフォルダーの cover、folder、front、albumart の画像を使います。</translation>
    </message>
    <message>
        <source>Cover art</source>
        <translation>カバーアート</translation>
    </message>
    <message>
        <source>Measures each file&apos;s loudness while converting it and writes ReplayGain track and album gain tags (R128 gain for Opus).</source>
        <translation>変換しながら各ファイルのラウドネスを測定し、トラックとアルバムの ReplayGain タグ (Opus では R128 ゲイン) を書き込みます。</translation>
    </message>
    <message>
        <source>ReplayGain tags</source>
        <translation>ReplayGain タグ</translation>
    </message>
    <message>
        <source>The folder the outputs go to. {sourcedir} stands for the whole folder of each input, so /out/{sourcedir} mirrors every input&apos;s absolute path below /out. {subfolder} stands for the input&apos;s folder below the folder it was added with (empty for a file added alone), so /out/{subfolder} keeps only the added tree&apos;s shape.</source>
        <translation>出力先のフォルダー。{sourcedir} は各入力のフォルダー全体を表すので、/out/{sourcedir} は各入力の絶対パスを /out の下に再現します。{subfolder} は入力を追加したフォルダーから見た入力のフォルダーを表し（単独で追加したファイルでは空）、/out/{subfolder} は追加したツリーの構造だけを保ちます。</translation>
    </message>
    <message>
        <source>Names</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>ファイル名:</translation>
    </message>
    <message>
        <source>Empty: each output keeps its input&apos;s name. A tag the file lacks gives: {title} the input&apos;s name, {artist} and {albumartist} &quot;Unknown Artist&quot;, {album} &quot;Unknown Album&quot;, {track} 00, {disc} 1, {year} 0000, {genre} &quot;Unknown Genre&quot;, {composer} &quot;Unknown Composer&quot;. Characters that FAT, exFAT or NTFS refuse become _.</source>
        <translation>空欄: 各出力は入力の名前を保ちます。ファイルにタグがない場合、{title} は入力の名前、{artist} と {albumartist} は「Unknown Artist」、{album} は「Unknown Album」、{track} は 00、{disc} は 1、{year} は 0000、{genre} は「Unknown Genre」、{composer} は「Unknown Composer」になります。FAT、exFAT、NTFS が受け付けない文字は _ になります。</translation>
    </message>
    <message>
        <source>Placeholders: {title} {artist} {albumartist} {album} {track} {disc} {year} {genre} {composer} {basename} {subfolder}. A / makes folders.</source>
        <translation>プレースホルダー: {title} {artist} {albumartist} {album} {track} {disc} {year} {genre} {composer} {basename} {subfolder}。/ でフォルダーを作ります。</translation>
    </message>
    <message>
        <source>Gives each output the modification time of its input.</source>
        <translation>各出力に入力の更新日時を付けます。</translation>
    </message>
    <message>
        <source>Keep file times</source>
        <translation>ファイルの日時を保つ</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>タイトル</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>アーティスト</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>アルバム</translation>
    </message>
    <message>
        <source>Example: %1</source>
        <translation>例: %1</translation>
    </message>
</context>
<context>
    <name>TagCopy</name>
    <message>
        <source>tags and cover not copied: the input&apos;s tags could not be read</source>
        <translation>タグとカバーはコピーされませんでした: 入力のタグを読み込めませんでした</translation>
    </message>
    <message>
        <source>tags and cover not copied: the output&apos;s tags could not be written</source>
        <translation>タグとカバーはコピーされませんでした: 出力のタグを書き込めませんでした</translation>
    </message>
</context>
</TS>
